#pragma once

#include "platform/picture.h"
#include "platform/types.h"

#include <string>
#include <vector>

namespace dovrante {

// Standard clipboard format numbers.
namespace ClipFormat {
constexpr int Text = 1;
constexpr int Bitmap = 2;
constexpr int Metafile = 3;
constexpr int Sylk = 4;
constexpr int Dif = 5;
constexpr int Tiff = 6;
constexpr int OemText = 7;
constexpr int Dib = 8;
constexpr int Palette = 9;
} // namespace ClipFormat

// The system clipboard, seen through standard format numbers.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    Clipboard() = default;
    Clipboard(const Clipboard &) = delete;
    Clipboard &operator=(const Clipboard &) = delete;

    // The format numbers on offer right now, asked of the clipboard's owner once; fails with a
    // description when the owner does not say. This and the reads below throw std::bad_alloc
    // when memory runs out on the way.
    virtual Result<std::vector<int>> availableFormats() = 0;
    // The clipboard's plain text; fails with a description when text is offered but none comes
    // from the clipboard's owner (it does not answer, or has ended).
    virtual Result<std::string> text() = 0;
    // The clipboard's list of locations (text/uri-list, as a file manager's copy offers it);
    // empty when none is offered or none comes.
    virtual std::string uriList() = 0;
    // The clipboard's picture, decoded; fails with a description when it cannot be read.
    virtual Result<PicturePtr> picture() = 0;
    // Empties the clipboard.
    virtual void clear() = 0;
    // Replaces the clipboard's contents with the picture, offered as an image to every program.
    virtual void setPicture(const PicturePtr &picture) = 0;
};

} // namespace dovrante
