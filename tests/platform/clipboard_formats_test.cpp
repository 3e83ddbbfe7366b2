#include "platform/qt/clipboard_formats.h"

#include <gtest/gtest.h>

namespace dovrante {
namespace {

const std::vector<std::string> Decodable{"image/png", "image/jpeg", "image/bmp", "image/gif",
                                         "image/tiff"};

TEST(ClipboardFormatsTest, TextAndPicturesGetTheirStandardNumbers)
{
    EXPECT_EQ(
        clipboardFormatNumbers({"text/plain;charset=utf-8", "UTF8_STRING", "TEXT"}, Decodable),
        std::vector<int>{1});
    EXPECT_EQ(clipboardFormatNumbers({"image/png", "image/jpeg"}, Decodable), std::vector<int>{2});
    // A bitmap is both a picture and a device-independent bitmap.
    EXPECT_EQ(clipboardFormatNumbers({"image/bmp"}, Decodable), (std::vector<int>{2, 8}));
}

TEST(ClipboardFormatsTest, TiffMetafilesAndSpreadsheetTypesAreNotPictures)
{
    EXPECT_EQ(clipboardFormatNumbers({"image/tiff"}, Decodable), std::vector<int>{6});
    EXPECT_EQ(clipboardFormatNumbers({"image/x-wmf", "image/emf"}, Decodable), std::vector<int>{3});
    EXPECT_EQ(clipboardFormatNumbers({"application/x-openoffice-sylk;windows_formatname=\"Sylk\"",
                                      "application/x-openoffice-dif;windows_formatname=\"DIF\""},
                                     Decodable),
              (std::vector<int>{4, 5}));
    EXPECT_EQ(clipboardFormatNumbers({"text/x-diff"}, Decodable), std::vector<int>{49152})
        << "a word that merely contains \"dif\" is not DIF";
}

TEST(ClipboardFormatsTest, OtherTypesAreNumberedFrom49152InTheOrderOffered)
{
    EXPECT_EQ(clipboardFormatNumbers({"TARGETS", "text/html", "text/plain", "image/x-unknown"},
                                     Decodable),
              (std::vector<int>{49152, 49153, 1, 49154}));
    EXPECT_TRUE(clipboardFormatNumbers({}, Decodable).empty());
}

TEST(ClipboardFormatsTest, ThePictureIsFetchedInTheCheapestTypeOffered)
{
    EXPECT_EQ(bestPictureType({"image/jpeg", "image/bmp", "image/png"}, Decodable), "image/png");
    EXPECT_EQ(bestPictureType({"image/gif"}, Decodable), "image/gif");
    EXPECT_EQ(bestPictureType({"image/tiff", "text/plain"}, Decodable), "");
}

} // namespace
} // namespace dovrante
