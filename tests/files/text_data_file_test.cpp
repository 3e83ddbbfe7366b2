#include "files/text_data_entry.h"
#include "support/form_fixture.h"

#include <gtest/gtest.h>

namespace dovrante::test {
namespace {

const std::string Rule = std::string(79, '-') + "\r\n";

TEST(TextDataEntryTest, HoldsDateLineSeparatorTextAndRule)
{
    EXPECT_EQ(textDataEntry("12/5/2026 3:50:44 AM", "abc"),
              "12/5/2026 3:50:44 AM\r\n--- --- --- --- --- ---\r\nabc\r\n" + Rule);
    // The text's own breaks stay; an empty text still takes its line, and so does a final break.
    EXPECT_EQ(textDataEntry("d", "one\r\ntwo"),
              "d\r\n--- --- --- --- --- ---\r\none\r\ntwo\r\n" + Rule);
    EXPECT_EQ(textDataEntry("d", ""), "d\r\n--- --- --- --- --- ---\r\n\r\n" + Rule);
    EXPECT_EQ(textDataEntry("d", "end\r\n"), "d\r\n--- --- --- --- --- ---\r\nend\r\n\r\n" + Rule);
}

using TextDataFileTest = FormFixture;

TEST_F(TextDataFileTest, EachTextCaptureAppendsOneEntryBesideTheProgram)
{
    program.folder = "/home/me/My Tools";
    clock.setNow(DateTime{2026, 12, 5, 15, 50, 44});
    clipboard.holdText("abc\n");
    Form1 &f = started();
    clock.setNow(DateTime{2026, 12, 6, 0, 0, 0});
    f.ReloadFromClipboard();

    const std::string &data = files.files.at("/home/me/My Tools/Dovrante Data.txt");
    EXPECT_EQ(data, "12/5/2026 3:50:44 PM\r\n--- --- --- --- --- ---\r\nabc\r\n\r\n" + Rule +
                        // At midnight only the date is written.
                        "12/6/2026\r\n--- --- --- --- --- ---\r\nabc\r\n\r\n" + Rule);
}

TEST_F(TextDataFileTest, AFileThatCannotBeWrittenIsReportedAndTheTextStillShown)
{
    files.appendError = "Cannot write /opt/Tools/Dovrante Data.txt: Read-only file system";
    clipboard.holdText("still shown");
    Form1 &f = started();
    EXPECT_EQ(f.RichTextBox1.text, "still shown");
    EXPECT_TRUE(f.RichTextBox1.visible);
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].text,
              "Cannot write /opt/Tools/Dovrante Data.txt: Read-only file system");
}

} // namespace
} // namespace dovrante::test
