// The desktop services: pure rules, then against the real disk, processes and settings file.

#include "services/clip_decoding.h"
#include "services/clipboard_formats.h"
#include "services/clipboard_prefetch.h"
#include "services/local_file_system.h"
#include "services/process_launcher.h"
#include "services/qt_file_dialog.h"
#include "services/qt_settings_store.h"
#include "services/session_platform.h"
#include "support/fakes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace dovrante::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(ClipboardFormatsTest, TypesGetStandardNumbersOthersFrom49152AndOnlyUnreadTypesNeedPlugins)
{
    const Strings decodable{"image/png", "image/jpeg", "image/bmp", "image/gif", "image/tiff"};
    const std::pair<Strings, std::vector<int>> cases[] = {
        {{"text/plain;charset=utf-8", "UTF8_STRING", "TEXT"}, {1}},
        {{"image/png", "image/jpeg"}, {2}},
        // A bitmap is both a picture and a device-independent bitmap.
        {{"image/bmp"}, {2, 8}},
        // TIFF, metafiles and spreadsheet types are not pictures.
        {{"image/tiff"}, {6}},
        {{"image/x-wmf", "image/emf"}, {3}},
        {{"application/x-openoffice-sylk;windows_formatname=\"Sylk\"",
          "application/x-openoffice-dif;windows_formatname=\"DIF\""},
         {4, 5}},
        {{"text/x-diff"}, {49152}}, // merely containing "dif" is not DIF
        {{"TARGETS", "text/html", "text/plain", "image/x-unknown"}, {49152, 49153, 1, 49154}},
        {{}, {}},
    };
    for (const auto &[types, numbers] : cases)
        EXPECT_EQ(clipboardFormatNumbers(types, decodable), numbers)
            << ::testing::PrintToString(types);

    // The picture is fetched in the cheapest type offered.
    EXPECT_EQ(bestPictureType({"image/jpeg", "image/bmp", "image/png"}, decodable), "image/png");
    EXPECT_EQ(bestPictureType({"image/gif"}, decodable), "image/gif");
    EXPECT_EQ(bestPictureType({"image/tiff", "text/plain"}, decodable), "");

    // Asking Qt's plugins what they read is slow: it is left out when Qt reads every offered
    // picture type by itself.
    const Strings read = decodableImageTypes();
    for (const std::string &type : builtInImageTypes())
        EXPECT_NE(std::find(read.begin(), read.end(), type), read.end()) << type;
    EXPECT_FALSE(needsImagePlugins({"TARGETS", "text/plain", "image/PNG; x=1", "image/x-ms-bmp",
                                    "image/x-xpixmap", "image/tiff"}));
    EXPECT_TRUE(needsImagePlugins({"image/png", "image/jpeg"}));
}

// Well-formed UTF-8 is taken as it is; anything else goes through Qt's decoder, which mends it.
TEST(ClipboardPrefetchTest, TakesOnlyWellFormedUtf8AsItIsAndAsksForTextInQtsOrder)
{
    for (const char *good : {"plain ASCII\r\n",
                             "Gr\xc3\xbc\xc3\x9f"
                             "e \xe4\xb8\x96 \xf0\x9f\x98\x80",
                             "\xf4\x8f\xbf\xbf"}) // U+10FFFF, the last code point
        EXPECT_TRUE(isWellFormedUtf8(good)) << good;
    // Latin-1, overlong in two and three bytes, a surrogate, beyond U+10FFFF, cut off at the end,
    // a continuation missing, a lone continuation byte.
    for (const char *bad :
         {"caf\xe9", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe4\xb8",
          "\xe4"
          "a\x96",
          "\x80"})
        EXPECT_FALSE(isWellFormedUtf8(bad)) << bad;

    EXPECT_EQ(textTargetsInOrder({"TARGETS", "STRING", "text/plain", "UTF8_STRING"}),
              (Strings{"UTF8_STRING", "STRING", "text/plain"}));
    // Every type of text is asked for when it is the only one, UTF-8 in any spelling first.
    EXPECT_EQ(textTargetsInOrder({"text/plain;charset=iso-8859-1", "image/png", "COMPOUND_TEXT",
                                  "text/plain;charset=\"UTF-8\""}),
              (Strings{"text/plain;charset=\"UTF-8\"", "COMPOUND_TEXT",
                       "text/plain;charset=iso-8859-1"}));
}

// Bytes of a type in, text or what is said out.
TEST(ClipTextTest, EachTextTypeIsDecodedByItsCharsetAndWhatDidNotComeIsSaid)
{
    const struct {
        std::string type, bytes;
        FetchOutcome outcome;
        std::string text; // or a part of what is said
    } cases[] = {
        // Padding of 32-bit items, and the NUL of a C string; one inside stays.
        {"UTF8_STRING", std::string("padded\0\0", 8), FetchOutcome::Whole, "padded"},
        {"UTF8_STRING", std::string("a\0b\0", 4), FetchOutcome::Whole, std::string("a\0b", 3)},
        // A leading byte order mark is dropped, as Qt drops it; a later one is a character.
        {"UTF8_STRING", "\xef\xbb\xbfmarked\xef\xbb\xbf", FetchOutcome::Whole,
         "marked\xef\xbb\xbf"},
        // What is not UTF-8 is mended as Qt mends it.
        {"UTF8_STRING",
         "ab\xff"
         "cd",
         FetchOutcome::Whole,
         "ab\xef\xbf\xbd"
         "cd"},
        {"STRING", std::string("caf\xe9\0", 5), FetchOutcome::Whole, "caf\xc3\xa9"},
        {"text/plain;charset=iso-8859-1", "caf\xe9", FetchOutcome::Whole, "caf\xc3\xa9"},
        {"text/plain;charset=UTF-8", "caf\xc3\xa9", FetchOutcome::Whole, "caf\xc3\xa9"},
        {"text/plain;charset=windows-1252", "\x80", FetchOutcome::Whole, "\xe2\x82\xac"},
        {"text/plain;charset=utf-16le", std::string("a\0\xac\x20", 4), FetchOutcome::Whole,
         "a\xe2\x82\xac"},
        // Latin-1, a Cyrillic right half, a UTF-8 segment, then Latin-1 again.
        {"COMPOUND_TEXT",
         "Gr\xfc\xdf"
         "e \x1b-L\xb0\x1b%G\xe4\xb8\x96\x1b%@\x1b-A\xe9",
         FetchOutcome::Whole,
         "Gr\xc3\xbc\xc3\x9f"
         "e \xd0\x90\xe4\xb8\x96\xc3\xa9"},
        {"UTF8_STRING", "\xef\xbb\xbf", FetchOutcome::Whole, "Nothing was taken"},
        {"UTF8_STRING", "", FetchOutcome::NoAnswer, "did not answer in time"},
        {"UTF8_STRING", "", FetchOutcome::TooSlow, "within 20 seconds"},
    };
    for (const auto &c : cases) {
        const Result<std::string> text = clipText(c.type, {c.outcome, c.bytes});
        if (text.ok())
            EXPECT_EQ(text.value(), c.text) << c.type;
        else
            EXPECT_NE(text.error().find(c.text), std::string::npos)
                << c.type << ": " << text.error();
        EXPECT_EQ(text.ok(), c.outcome == FetchOutcome::Whole && c.bytes != "\xef\xbb\xbf")
            << c.type;
    }
    // Announced sizes, in megabytes of 2^20 bytes.
    EXPECT_EQ(clipPicture("image/png", {FetchOutcome::TooLarge, {}, 2000000000, 0}).error(),
              "The clipboard's picture (image/png) could not be fetched: it is 1907 MB or more, "
              "larger than the 1100 MB Dovrante takes.");
    EXPECT_EQ(clipText("UTF8_STRING", {FetchOutcome::NoMemory, {}, 1200 << 20, 300 << 20}).error(),
              "The clipboard offers text, but there is not enough memory for it (1200 MB needed, "
              "300 MB free). Nothing was taken.");
}

// A file manager's list of locations comes as it is; a browser's in UTF-16 comes as UTF-8 lines.
TEST(ClipUriListTest, ComesAsItIsOrFromUtf16AndNothingWhenNoneCame)
{
    const std::string url = "file:///tmp/a%20b.jpg";
    const struct {
        std::string bytes;
        FetchOutcome outcome;
        std::string list;
    } cases[] = {
        {"# copied\r\n" + url + "\r\n", FetchOutcome::Whole, "# copied\r\n" + url + "\r\n"},
        {url + std::string("\0", 1), FetchOutcome::Whole, url},
        {std::string("f\0i\0l\0e\0:\0/\0/\0/\0x\0\n\0", 20), FetchOutcome::Whole, "file:///x\r\n"},
        {std::string("\xfe\xff\0/\0x\0 ", 8), FetchOutcome::Whole, "/x\r\n"},
        {url, FetchOutcome::NoAnswer, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(clipUriList({c.outcome, c.bytes}), c.list) << c.bytes;
}

TEST(SessionPlatformTest, WaylandRunsThroughXWaylandIsToldWithoutItAndTheRestIsLeftToQt)
{
    using enum PlatformChoice;
    const struct {
        const char *type, *wayland, *x11, *qtPlatform;
        PlatformChoice choice;
    } cases[] = {
        {"wayland", "wayland-0", ":0", "", ThroughXWayland},
        // A Wayland display without the session's word for it is a Wayland session as well.
        {"", "wayland-1", ":1", "", ThroughXWayland},
        {"wayland", "", ":0", "", ThroughXWayland},
        {"wayland", "wayland-0", "", "", NoClipboardAtStart},
        {"", "wayland-0", "", "", NoClipboardAtStart},
        {"wayland", "", "", "", NoClipboardAtStart},
        {"x11", "", ":0", "", AsItIs},
        {"", "", ":0", "", AsItIs},
        {"tty", "", "", "", AsItIs},
        // The user's own choice of platform stands.
        {"wayland", "wayland-0", "", "wayland", AsItIs},
        {"wayland", "wayland-0", ":0", "xcb", AsItIs},
        {"wayland", "wayland-0", "", "offscreen", AsItIs},
    };
    for (const auto &c : cases)
        EXPECT_EQ(choosePlatform({c.qtPlatform, c.wayland, c.x11, c.type}), c.choice)
            << c.type << "|" << c.wayland << "|" << c.x11 << "|" << c.qtPlatform;
    EXPECT_NE(noClipboardAtStartMessage().find("X11 session"), std::string::npos);
}

std::string contents(const std::string &path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Whether the service failed, saying which file.
bool names(const MaybeFailure &failure, const std::string &path)
{
    return failure && failure->description.find(path) != std::string::npos;
}

// File dialogs keep empty patterns and open where the name says.
TEST(QtFileDialogTest, FiltersKeepEmptyPatternsAndTheDialogStartsWhereTheNameSays)
{
    const QTemporaryDir temp;
    const std::string root = temp.path().toStdString();
    EXPECT_EQ(qtNameFilters("All Files (*.*)|*.*|JPG Files (*.jpg)|"),
              (QStringList{"All Files (*.*) (*)", "JPG Files (*.jpg) (*.jpg)"}));
    EXPECT_EQ(qtNameFilters("Pictures|*.png; *.gif|Anything|"),
              (QStringList{"Pictures (*.png *.gif)", "Anything (*)"}));
    FileDialogRequest request;
    request.initialFolder = root;
    request.initialFileName = "*.txt";
    EXPECT_EQ(QDir(fileDialogStart(request).folder), QDir(temp.path()));
    EXPECT_TRUE(fileDialogStart(request).fileName.isEmpty());
    request.initialFileName = root + "/x.jpg";
    EXPECT_EQ(fileDialogStart(request).fileName, "x.jpg");
    request.initialFileName = root + "/gone/*.*";
    EXPECT_EQ(QDir(fileDialogStart(request).folder), QDir::home());
}

TEST(LocalFileSystemTest, WritesWholeAndAppendsOnlyToRegularFiles)
{
    const QTemporaryDir temp;
    const std::string root = temp.path().toStdString();
    LocalFileSystem files;
    fs::create_directories(root + "/.hidden");
    EXPECT_EQ(files.attributes(root + "/.hidden/"), 16 | 2) << "named with its trailing slash";
    EXPECT_EQ(files.attributes(root + "/missing.txt"), std::nullopt);
    const std::string path = root + "/clip.txt";
    EXPECT_FALSE(files.writeWhole(path, "new\r\n"));
    EXPECT_EQ(files.attributes(path), 32);
    EXPECT_EQ(contents(path), "new\r\n");
    // Nothing half-written is left beside the target.
    EXPECT_TRUE(names(files.writeWhole(root + "/.hidden", "x"), root + "/.hidden"));
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 2);
    EXPECT_FALSE(files.append(path, "two\r\n"));
    EXPECT_EQ(contents(path), "new\r\ntwo\r\n");
    // A FIFO would make the write wait for a reader; what goes to a device is lost.
    ASSERT_EQ(::mkfifo((root + "/pipe").c_str(), 0644), 0);
    for (const std::string &notAFile :
         {root + "/pipe", root + "/.hidden", std::string("/dev/null")})
        EXPECT_TRUE(names(files.append(notAFile, "x"), notAFile));
}

TEST(ProcessLauncherTest, APathWithShellCharactersIsOneArgumentAndRunsNothingElse)
{
    const QTemporaryDir temp;
    const std::string root = temp.path().toStdString();
    FakeDesktop location;
    location.folder = root;
    const std::string record = root + "/record";
    std::ofstream(root + "/Recorder") << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << record
                                      << ".part'; mv '" << record << ".part' '" << record << "'\n";
    fs::permissions(root + "/Recorder", fs::perms::owner_all);
    ProcessLauncher launcher(location);
    const std::string marker = root + "/ran";
    const std::string argument =
        root + "/my \"q\" dir; touch " + marker + " $(touch " + marker + ")'";
    EXPECT_FALSE(launcher.start("Recorder", argument, WindowStyle::MaximizedFocus));
    for (int i = 0; i < 500 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(contents(record), "1|" + argument + "|");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(launcher.start(record, "/x", 2)->description, "the program is not executable");
}

// The settings file lies in a temporary configuration folder while the test runs.
class QtSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", temp.path().toUtf8()); }
    void TearDown() override
    {
        if (previous.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previous);
    }
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    const QTemporaryDir temp;
};

TEST_F(QtSettingsStoreTest, KeepsFoldersExactlyAndReadsHandEditedCommas)
{
    QtSettingsStore settings;
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", "/default/"), "/default/");
    for (const std::string folder : {"/home/a, b/", " lead/ ", "/@x/\"q\";=#\\/"}) {
        settings.saveSetting("Dovrante", "Setting", "ImageFolder", folder);
        EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), folder);
    }
    std::ofstream(temp.path().toStdString() + "/Dovrante/Dovrante.conf")
        << "[Setting]\nImageFolder=/home/a, b/\n";
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), "/home/a, b/");
}

} // namespace
} // namespace dovrante::test
