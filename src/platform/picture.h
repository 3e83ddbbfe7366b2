#pragma once

#include "platform/types.h"

#include <memory>
#include <string>

namespace dovrante {

// A decoded picture. One object is shared by every control and operation that shows, saves or
// prints it, so a large screenshot is held once.
class Picture {
public:
    virtual ~Picture() = default;
    Picture() = default;
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;

    // Width in HiMetric (1/100 mm), sized so that the picture's natural size on screen is its size
    // in pixels.
    virtual int widthHiMetric() const = 0;
    // Height in HiMetric.
    virtual int heightHiMetric() const = 0;
};

using PicturePtr = std::shared_ptr<const Picture>;

// Reading and writing picture files.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    PictureFiles() = default;
    PictureFiles(const PictureFiles &) = delete;
    PictureFiles &operator=(const PictureFiles &) = delete;

    // Decodes an image file (bitmap and JPEG at least); fails with a description naming the reason.
    virtual Result<PicturePtr> load(const std::string &path) = 0;
    // Writes the picture in bitmap (BMP) format whatever the extension, replacing the file whole.
    virtual MaybeFailure saveAsBitmap(const Picture &picture, const std::string &path) = 0;
};

} // namespace dovrante
