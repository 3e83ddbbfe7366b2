#include "app/toolbar_layout.h"
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSettings>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

const std::string Rule(79, '-');

class FilesE2eTest : public ::testing::Test {
protected:
    explicit FilesE2eTest(const std::string &fileName = "Dovrante")
        : program(DOVRANTE_E2E_EXECUTABLE, fileName)
    {}

    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
        // Stand-ins for the link program, the program's copy and the editor, each recording its
        // name, how many arguments it got and the first of them.
        fs::create_directories(DOVRANTE_E2E_TOOLS_DIR);
        writeRecorder(std::string(DOVRANTE_E2E_TOOLS_DIR) + "/Mervoxen");
        writeRecorder(std::string(DOVRANTE_E2E_TOOLS_DIR) + "/Dovrante");
        writeRecorder(program.folder() + "/Notepad3");
    }

    void writeRecorder(const std::string &path)
    {
        std::ofstream(path) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"${0##*/}\" \"$#\" \"$1\" >> '"
                            << startedFile() << "'\n";
        fs::permissions(path, fs::perms::owner_all);
    }

    std::string startedFile() const { return program.home() + "/started.txt"; }

    std::vector<std::string> started() const
    {
        std::vector<std::string> lines;
        std::istringstream text(readFile(startedFile()));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }

    bool waitForStarts(std::size_t count)
    {
        return waitUntil([&] { return started().size() >= count; });
    }

    // Not waiting for the pointer to move: a second click on the same button would wait forever.
    void click(const Place &place)
    {
        run({"xdotool", "mousemove",
             std::to_string(static_cast<int>((place.left + place.width / 2) / 15)),
             std::to_string(static_cast<int>((place.top + place.height / 2) / 15)), "click", "1"});
    }

    // Types a full path into the file dialog's name box and takes it.
    void choosePath(const std::string &dialogTitle, const std::string &path)
    {
        const std::string dialog = program.waitForWindowTitled(dialogTitle);
        ASSERT_FALSE(dialog.empty()) << "no dialog " << dialogTitle;
        program.typeIn(dialog, path);
        program.pressKeysIn(dialog, {"Return"});
    }

    std::string storedFolder() const
    {
        QSettings settings(
            QString::fromStdString(program.home() + "/.config/Dovrante/Dovrante.conf"),
            QSettings::IniFormat);
        return settings.value("Setting/ImageFolder").toString().toStdString();
    }

    void startWithPicture()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const std::string png = program.home() + "/clip.png";
        image.save(QString::fromStdString(png), "PNG");
        clipboard.putFile(png, "image/png");
        program.start();
        ASSERT_FALSE(program.waitForWindow().empty());
    }

    void startWithText(const std::string &text)
    {
        clipboard.putText(text);
        program.start();
        ASSERT_FALSE(program.waitForWindow().empty());
    }

    const StartupLayout layout = computeStartupLayout(1920 * 15, 1080 * 15);
    XClipboard clipboard;
    ProgramUnderTest program;
};

// The executable carries an extension here: a bare "Dovrante" would be the very name of the
// "Dovrante" folder that holds "BMP Data" beside it.
class AutomaticSaveE2eTest : public FilesE2eTest {
protected:
    AutomaticSaveE2eTest()
        : FilesE2eTest("Dovrante.bin")
    {}
};

bool isBitmapOf(const std::string &path, int width, int height)
{
    const std::string bytes = readFile(path);
    const QImage image = QImage::fromData(reinterpret_cast<const uchar *>(bytes.data()),
                                          static_cast<int>(bytes.size()), "BMP");
    return bytes.rfind("BM", 0) == 0 && image.width() == width && image.height() == height;
}

TEST_F(AutomaticSaveE2eTest, SaveWritesABitmapNamedFromTheMomentIntoTheBmpDataFolder)
{
    const std::string bmpData = program.folder() + "/Dovrante/BMP Data";
    fs::create_directories(bmpData);
    startWithPicture();
    click(layout.cmdSave);

    std::string name;
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &entry : fs::directory_iterator(bmpData))
            name = entry.path().filename().string();
        return !name.empty() && isBitmapOf(bmpData + "/" + name, 40, 30);
    })) << name;
    EXPECT_TRUE(std::regex_match(name, std::regex("20[0-9]{6} [0-9]{6}\\.jpg"))) << name;
}

TEST_F(AutomaticSaveE2eTest, SaveWithoutTheBmpDataFolderSaysWhyAndWritesNothing)
{
    startWithPicture();
    click(layout.cmdSave);
    const std::string box = program.waitForWindowTitled("Dovrante");
    ASSERT_FALSE(box.empty());
    const std::string text = program.messageBoxText(box, clipboard);
    EXPECT_NE(text.find(program.folder() + "/Dovrante/BMP Data/"), std::string::npos) << text;
    program.pressKeysIn(box, {"Return"});
    EXPECT_FALSE(fs::exists(program.folder() + "/Dovrante"));
}

TEST_F(FilesE2eTest, SaveAsOfAPictureWritesABitmapRemembersTheFolderAndNamesTheWindow)
{
    const std::string folder = program.home() + "/saved pics/";
    fs::create_directories(folder);
    startWithPicture();
    click(layout.cmdSaveAs);
    // No extension typed: the dialog adds "jpg", the content is still a bitmap.
    choosePath("Save As", folder + "shot");
    const std::string path = folder + "shot.jpg";
    ASSERT_TRUE(waitUntil([&] { return program.title() == path; })) << program.title();
    EXPECT_TRUE(isBitmapOf(path, 40, 30));
    EXPECT_EQ(storedFolder(), folder);

    // The same name again: the program asks, and No shows the dialog once more.
    click(layout.cmdSaveAs);
    choosePath("Save As", path);
    const std::string question = program.waitForWindowTitled("File exists");
    ASSERT_FALSE(question.empty());
    EXPECT_NE(program.messageBoxText(question, clipboard).find("Overwrite  " + path),
              std::string::npos);
    program.pressKeysIn(question, {"Escape"});
    const std::string again = program.waitForWindowTitled("Save As");
    ASSERT_FALSE(again.empty());
    program.pressKeysIn(again, {"Escape"});
    EXPECT_TRUE(waitUntil([&] {
        return program.waitForWindowTitled("Save As", std::chrono::milliseconds(200)).empty();
    }));
}

TEST_F(FilesE2eTest, SaveAsOfTextWritesTheFixedLayoutAndHandsItToTheLinkProgram)
{
    const std::string clips = program.home() + "/Desc/!Clips/";
    fs::create_directories(clips);
    startWithText("first\nsecond");
    click(layout.cmdSaveAs);
    const std::string path = clips + "my clip.txt";
    choosePath("Save As", path);

    ASSERT_TRUE(waitForStarts(1));
    EXPECT_EQ(started()[0], "Mervoxen|1|" + path);
    EXPECT_EQ(readFile(path), path + "\r\n\r\n\r\n\r\n" + Rule + "\r\nfirst\r\nsecond\r\n\r\n" +
                                  Rule + "\r\n\r\n\r\n" + Rule + "\r\n\r\n\r\n" + Rule + "\r\n");
    EXPECT_EQ(program.title(), "Clipboard Print with Options");
}

TEST_F(FilesE2eTest, F2AndEnterRenameTheWindow)
{
    startWithText("some text");
    program.pressKeys({"F2"});
    program.typeIn(program.waitForWindow(), "Holiday 2026");
    program.pressKeys({"Return"});
    ASSERT_TRUE(waitUntil([&] { return program.title() == "Holiday 2026"; })) << program.title();

    // Shown again, the box holds the caption wholly selected: typing replaces it.
    program.pressKeys({"F2"});
    program.typeIn(program.waitForWindow(), "x");
    program.pressKeys({"Return"});
    EXPECT_TRUE(waitUntil([&] { return program.title() == "x"; })) << program.title();
}

TEST_F(FilesE2eTest, CtrlOPutsTheJpegOnTheClipboardAndStartsTheCopy)
{
    const std::string folder = program.home() + "/my pics/";
    fs::create_directories(folder);
    const std::string path = folder + "photo 1.jpg";
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "JPG"));

    startWithText("before");
    program.pressKeys({"ctrl+o"});
    choosePath("Open Clip File", path);

    ASSERT_TRUE(waitForStarts(1));
    EXPECT_EQ(started()[0], "Dovrante|0|");
    EXPECT_EQ(program.title(), path);
    EXPECT_EQ(storedFolder(), folder);
    // Another program finds the picture there.
    const std::string png = clipboard.read("image/png");
    const QImage offered = QImage::fromData(reinterpret_cast<const uchar *>(png.data()),
                                            static_cast<int>(png.size()), "PNG");
    EXPECT_EQ(offered.size(), QSize(64, 48));
}

TEST_F(FilesE2eTest, EachCompanionButtonStartsItsProgramOnTheExactPath)
{
    startWithText("companions");
    const std::string folder = program.folder(); // "program folder": a blank in the path
    const std::pair<Place, std::string> clicks[] = {
        {layout.cmdBmpData, "Mervoxen|1|" + folder + "/Dovrante/BMP Data"},
        {layout.cmdIdeas, "Mervoxen|1|" + folder + "/Dovrante Ideas.txt"},
        {layout.cmdFolders, "Notepad3|1|" + folder + "/Dovrante Folders.txt"},
        {layout.cmdTxtData, "Notepad3|1|" + folder + "/Dovrante Data.txt"},
    };
    std::size_t count = 0;
    for (const auto &[place, line] : clicks) {
        click(place);
        ASSERT_TRUE(waitForStarts(++count)) << line;
        EXPECT_EQ(started().back(), line);
    }

    // Without an editor beside the program or on the PATH, the command line is shown.
    fs::remove(folder + "/Notepad3");
    click(layout.cmdTxtData);
    const std::string box = program.waitForWindowTitled("Dovrante");
    ASSERT_FALSE(box.empty());
    EXPECT_NE(program.messageBoxText(box, clipboard)
                  .find("Cannot start Notepad3 " + folder +
                        "/Dovrante Data.txt: the program was not found"),
              std::string::npos);
}

} // namespace
} // namespace dovrante::e2e
