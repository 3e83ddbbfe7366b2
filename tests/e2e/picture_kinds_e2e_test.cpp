// Each kind of PNG is taken the same at the start and on F5: drawn the same pixel for pixel, as
// its own table says. (The kinds of text are in the clipboard tests' table of texts.)

#include "e2e_harness.h"

#include <png.h>

#include <csetjmp>

namespace dovrante::e2e {
namespace {

// The tests' own pictures: each pixel differs from its neighbours, so that rows or columns out of
// place (an interlaced picture put together wrongly) show.
constexpr int Width = 40, Height = 24;
QRgb pattern(int x, int y)
{
    return qRgb(x * 6, y * 10, (x + y) * 3);
}

// What libpng is told to write besides the pixels (a palette, its transparency, the gamma).
using Chunks = std::function<void(png_structp, png_infop)>;

// libpng's calls alone, as it jumps back out of them when it fails; false then.
bool writePng(std::string &file, int colourType, int bitDepth, bool interlaced,
              const Chunks &chunks, std::vector<png_bytep> &rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(
        png, &file,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<std::string *>(png_get_io_ptr(p))
                ->append(reinterpret_cast<const char *>(data), length);
        },
        nullptr);
    png_set_IHDR(png, info, Width, Height, bitDepth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (chunks)
        chunks(png, info);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// A PNG written by libpng, as other programs write theirs, from each pixel's samples.
std::string encodePng(int colourType, int bitDepth, bool interlaced,
                      const std::function<std::vector<int>(int x, int y)> &samples,
                      const Chunks &chunks = {})
{
    std::vector<std::vector<png_byte>> rows(Height);
    std::vector<png_bytep> pointers;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x)
            for (int sample : samples(x, y)) {
                if (bitDepth == 16)
                    rows[y].push_back(static_cast<png_byte>(sample >> 8));
                rows[y].push_back(static_cast<png_byte>(sample & 0xff));
            }
        pointers.push_back(rows[y].data());
    }
    std::string file;
    return writePng(file, colourType, bitDepth, interlaced, chunks, pointers) ? file
                                                                              : std::string();
}

std::vector<int> rgb(int x, int y)
{
    const QRgb c = pattern(x, y);
    return {qRed(c), qGreen(c), qBlue(c)};
}

// Columns by fives: clear, half clear, then opaque.
int alphaOf(int x)
{
    return x < 5 ? 0 : x < 10 ? 128 : 255;
}

// Sixteen colours of the pattern's first row, the first two clear and half clear.
std::string palettePng()
{
    return encodePng(
        PNG_COLOR_TYPE_PALETTE, 8, false,
        [](int x, int y) { return std::vector<int>{(x + y) % 16}; },
        [](png_structp png, png_infop info) {
            std::vector<png_color> colours; // libpng keeps a copy
            for (int i = 0; i < 16; ++i) {
                const QRgb c = pattern(i * 2, i);
                colours.push_back({static_cast<png_byte>(qRed(c)), static_cast<png_byte>(qGreen(c)),
                                   static_cast<png_byte>(qBlue(c))});
            }
            png_set_PLTE(png, info, colours.data(), 16);
            png_byte alpha[] = {0, 128};
            png_set_tRNS(png, info, alpha, 2, nullptr);
        });
}

struct PictureKind {
    const char *name;
    std::function<std::string()> file;
    // The colour each opaque pixel is drawn in; nothing where the picture is not opaque.
    std::function<std::optional<QRgb>(int x, int y)> drawn;
    friend void PrintTo(const PictureKind &row, std::ostream *out) { *out << row.name; }
};

const PictureKind PictureKinds[] = {
    // Samples of 16 bits that are 257 times an 8-bit value come to that value.
    {"Rgb16Bit",
     [] {
         return encodePng(PNG_COLOR_TYPE_RGB, 16, false, [](int x, int y) {
             std::vector<int> samples = rgb(x, y);
             for (int &sample : samples)
                 sample *= 257;
             return samples;
         });
     },
     [](int x, int y) { return std::optional<QRgb>(pattern(x, y)); }},
    {"Interlaced", [] { return encodePng(PNG_COLOR_TYPE_RGB, 8, true, rgb); },
     [](int x, int y) { return std::optional<QRgb>(pattern(x, y)); }},
    {"PaletteWithTransparency", palettePng,
     [](int x, int y) -> std::optional<QRgb> {
         const int i = (x + y) % 16;
         return i < 2 ? std::nullopt : std::optional<QRgb>(pattern(i * 2, i));
     }},
    {"GreyWithAlpha",
     [] {
         return encodePng(PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, [](int x, int y) {
             return std::vector<int>{qRed(pattern(x, y)), alphaOf(x)};
         });
     },
     [](int x, int y) -> std::optional<QRgb> {
         const int grey = qRed(pattern(x, y));
         return alphaOf(x) < 255 ? std::nullopt : std::optional<QRgb>(qRgb(grey, grey, grey));
     }},
    // The samples are shown as they stand, as Qt's reader shows them, whatever the file's gamma.
    {"WithGamma",
     [] {
         return encodePng(PNG_COLOR_TYPE_RGB, 8, false, rgb, [](png_structp png, png_infop info) {
             png_set_gAMA_fixed(png, info, 100000);
         });
     },
     [](int x, int y) { return std::optional<QRgb>(pattern(x, y)); }},
};

// Where the two differ in the picture's place, the first few; empty when they do not.
std::string differences(const QImage &shot, const QImage &expected)
{
    std::string found;
    for (int y = 0, n = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if ((shot.pixel(x, y) ^ expected.pixel(x, y)) & 0xffffff && n++ < 5)
                found += "(" + std::to_string(x) + ", " + std::to_string(y) + ") ";
    return found;
}

class PictureKindE2eTest : public E2eTest, public ::testing::WithParamInterface<PictureKind> {};

TEST_P(PictureKindE2eTest, IsDrawnTheSameAtTheStartAndOnReload)
{
    const PictureKind &row = GetParam();
    const std::string file = row.file();
    ASSERT_FALSE(file.empty()) << "libpng wrote no picture";
    const auto opaqueAsMeant = [&](const QImage &shot) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (const auto colour = row.drawn(x, y);
                    colour && (shot.pixel(x, y) ^ *colour) & 0xffffff)
                    return false;
        return true;
    };
    const auto whatIsSaid = [&] {
        const std::string box = program.waitForWindowTitled("Dovrante", 0ms);
        return box.empty() ? std::string() : program.messageBoxText(box, clipboard);
    };
    startWith(file, "image/png");
    const QImage atStart = screenWhen(opaqueAsMeant).copy(0, 0, Width, Height);
    ASSERT_TRUE(opaqueAsMeant(atStart)) << "not drawn as meant at the start " << whatIsSaid();

    // Another picture in between, opaque everywhere, which must not show through the first.
    const QImage between = painted(Width, Height, Qt::magenta);
    clipboard.put(between);
    program.pressKeys({"F5"});
    ASSERT_TRUE(waitUntil([&] { return differences(screenshot(), between).empty(); }))
        << whatIsSaid();

    clipboard.put(file, "image/png");
    program.pressKeys({"F5"});
    const QImage onReload = screenWhen(opaqueAsMeant).copy(0, 0, Width, Height);
    ASSERT_TRUE(opaqueAsMeant(onReload)) << "not drawn as meant on F5 " << whatIsSaid();
    EXPECT_EQ(differences(onReload, atStart), "");
}

INSTANTIATE_TEST_SUITE_P(PictureKinds, PictureKindE2eTest, ::testing::ValuesIn(PictureKinds),
                         RowName);

} // namespace
} // namespace dovrante::e2e
