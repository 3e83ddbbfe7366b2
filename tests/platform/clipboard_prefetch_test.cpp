#include "platform/qt/clipboard_prefetch.h"

#include <gtest/gtest.h>

namespace dovrante {
namespace {

// Text that is well-formed UTF-8 is taken from the clipboard as it is; anything else goes through
// Qt's decoder, which mends it. A validator that lets a bad sequence through records broken text.
TEST(ClipboardPrefetchTest, TakesOnlyWellFormedUtf8AsItIs)
{
    const struct {
        const char *bytes;
        bool wellFormed;
    } cases[] = {
        {"plain ASCII\r\n", true},
        {"Gr\xc3\xbc\xc3\x9f"
         "e \xe4\xb8\x96 \xf0\x9f\x98\x80",
         true},
        {"\xf4\x8f\xbf\xbf", true},  // U+10FFFF, the last code point
        {"caf\xe9", false},          // Latin-1, not UTF-8
        {"\xc0\xaf", false},         // overlong "/"
        {"\xe0\x80\xaf", false},     // overlong, three bytes
        {"\xed\xa0\x80", false},     // a surrogate
        {"\xf4\x90\x80\x80", false}, // beyond U+10FFFF
        {"\xe4\xb8", false},         // cut off at the end
        {"\xe4"
         "a\x96",
         false},         // continuation missing
        {"\x80", false}, // a lone continuation byte
    };
    for (const auto &c : cases)
        EXPECT_EQ(isWellFormedUtf8(c.bytes), c.wellFormed) << c.bytes;
}

// Text is asked for in Qt's order of text types, one type only.
TEST(ClipboardPrefetchTest, AsksForTextTypesInQtsOrder)
{
    EXPECT_EQ(textTargetsInOrder({"TARGETS", "STRING", "text/plain", "UTF8_STRING"}),
              (std::vector<std::string>{"UTF8_STRING", "STRING", "text/plain"}));
}

} // namespace
} // namespace dovrante
