#pragma once

#include "platform/types.h"
#include "services/png_reader.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace dovrante {

// The rules that turn what a clipboard's owner handed over into text, a picture or a list of
// locations, or into what is said instead: the same for the clip taken at start and for every
// later capture, whether the bytes came on the program's own X connection or through Qt's
// clipboard.

// The most a clip may hold: no lower than the largest picture shown, 16384 x 16384 at 32 bits,
// plus its file header.
constexpr std::uint64_t MaxClipBytes = 1100ull << 20;
// The longest a clip may take to come whole, however steadily its parts come.
constexpr int FetchDeadlineSeconds = 20;

// How asking the clipboard's owner for one type ended.
enum class FetchOutcome {
    Whole,
    NoOwner,  // nobody holds the clipboard
    Refused,  // the owner does not give that type
    NoAnswer, // the owner did not answer in time, or ended
    TooSlow,  // the parts kept coming past the deadline
    TooLarge, // more than MaxClipBytes, announced or sent
    NoMemory, // more than the memory left for it, announced or sent
};

// The fetch of one type: its bytes when whole, else the outcome and what it would have needed.
struct Fetched {
    FetchOutcome outcome = FetchOutcome::NoAnswer;
    std::string bytes;
    std::uint64_t needed = 0;    // bytes announced or reached, for TooLarge and NoMemory
    std::uint64_t available = 0; // bytes of memory left, for NoMemory
};

// What is said when text is offered but none comes.
std::string clipboardTextNeverCame();
// What is said when the owner does not say what it holds.
std::string clipboardOwnerDidNotAnswer();

// The text from what came for a type classified as text, or why there is none.
Result<std::string> clipText(const std::string &type, Fetched fetched);
// The picture from what came for an image type, or why there is none.
Result<QImage> clipPicture(const std::string &type, const Fetched &fetched);
// The same picture from libpng, as Qt's reader would have given it.
Result<QImage> clipPicture(PlainPng png);
// The list of locations (text/uri-list) from what came; empty when none came.
std::string clipUriList(Fetched fetched);

// The image types Qt's picture loader decodes (loading every image plugin to find them).
std::vector<std::string> decodableImageTypes();
// Those of them that tell which offered types are pictures: none when no picture is offered, and
// Qt's own alone when every offered picture type is one of those, as finding the rest takes some
// milliseconds.
std::vector<std::string> decodableImageTypes(const std::vector<std::string> &offered);

// How much memory taking, recording and showing a text of that many bytes needs.
std::uint64_t memoryForText(std::uint64_t bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or truncated
// sequences), which is then taken as it is: decoding and encoding again would hold a large text
// three times over for a moment.
bool isWellFormedUtf8(const std::string &bytes);

} // namespace dovrante
