#pragma once

#include "platform/picture.h"
#include "platform/printer.h"
#include "platform/types.h"

#include <optional>
#include <string>

namespace dovrante {

// Where a picture lands on the page: its drawn size in HiMetric, still to be converted into the
// printer's unit. The picture is always drawn from the top left corner of the printable area.
struct PictureFit {
    // True when the picture spans the printable width, false when it spans the height.
    bool fitsWidth = true;
    double width = 0;
    double height = 0;
};

// Portrait for a picture at least as high as it is wide, landscape otherwise.
Orientation orientationForPicture(int widthHiMetric, int heightHiMetric);

// Scales a picture without distortion until it touches both side edges or both the top and the
// bottom edge of the printable area (all lengths in HiMetric). Equal proportions fit the width.
// The computed length is rounded to a 4-byte float, as the printer's conversions take it; a
// division by zero, an invalid operation or an overflow fails with the arithmetic error's name.
Result<PictureFit> fitPicture(int pictureWidth, int pictureHeight, double printableWidth,
                              double printableHeight);

// Turns the page to suit the picture and draws it fitted to the printable area. Fails, with
// nothing drawn, when the fitting arithmetic fails (a picture or page of zero height).
MaybeFailure PrintPictureFitted(Printer &printer, const Picture &picture);

// The installed printer named by the profile's default-printer entry, or none.
std::optional<std::string> FindDefaultPrinter(const LegacyProfile &profile,
                                              const InstalledPrinters &installed);

} // namespace dovrante
