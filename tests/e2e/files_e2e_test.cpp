#include "app/toolbar_layout.h"
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSettings>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

const std::string Rule(79, '-');

QImage decode(const std::string &bytes, const char *format)
{
    return QImage::fromData(reinterpret_cast<const uchar *>(bytes.data()),
                            static_cast<int>(bytes.size()), format);
}

class FilesE2eTest : public ::testing::Test {
protected:
    FilesE2eTest() : program(DOVRANTE_E2E_EXECUTABLE, "Dovrante") {}

    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
        // Stand-ins for the link program, the program's copy and the editor: each records its
        // name, its number of arguments and the first of them.
        fs::create_directories(DOVRANTE_E2E_TOOLS_DIR);
        for (const std::string &path :
             {std::string(DOVRANTE_E2E_TOOLS_DIR) + "/Mervoxen",
              std::string(DOVRANTE_E2E_TOOLS_DIR) + "/Dovrante", program.folder() + "/Notepad3"}) {
            std::ofstream(path) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"${0##*/}\" \"$#\" \"$1\" >> '"
                                << program.home() << "/started'\n";
            fs::permissions(path, fs::perms::owner_all);
        }
    }

    // The n-th program started (from 0), once it has been.
    std::string started(std::size_t n) { return waitForLine(program.home() + "/started", n); }

    void click(const Place &place)
    {
        program.clickAt(static_cast<int>(place.left + place.width / 2) / 15,
                        static_cast<int>(place.top + place.height / 2) / 15);
    }

    // Types a full path into the file dialog's name box and takes it.
    void choose(const std::string &dialogTitle, const std::string &path)
    {
        ASSERT_TRUE(program.answerDialog(dialogTitle, path)) << "no dialog " << dialogTitle;
    }

    std::string storedFolder() const
    {
        return QSettings(QString::fromStdString(program.home() + "/.config/Dovrante/Dovrante.conf"),
                         QSettings::IniFormat)
            .value("Setting/ImageFolder")
            .toString()
            .toStdString();
    }

    void start(const std::string &text = {})
    {
        if (text.empty()) {
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(Qt::blue);
            image.save(QString::fromStdString(program.home() + "/clip.png"), "PNG");
            clipboard.putFile(program.home() + "/clip.png", "image/png");
        } else {
            clipboard.putText(text);
        }
        program.start();
        ASSERT_FALSE(program.waitForWindow().empty());
    }

    const StartupLayout layout = computeStartupLayout(1920 * 15, 1080 * 15);
    XClipboard clipboard;
    ProgramUnderTest program;
};

TEST_F(FilesE2eTest, SaveWritesABitmapNamedFromTheMomentOrSaysWhyItCannot)
{
    // The executable is the file "Dovrante", so its pictures go to "Dovrante BMP Data".
    const std::string bmpData = program.folder() + "/Dovrante BMP Data";
    start();
    click(layout.cmdSave);
    EXPECT_NE(program.closeBox("Dovrante", clipboard).find(bmpData + "/"), std::string::npos);
    EXPECT_FALSE(fs::exists(bmpData)) << "no folder is made";

    fs::create_directories(bmpData);
    click(layout.cmdSave);
    std::string name;
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &entry : fs::directory_iterator(bmpData))
            name = entry.path().filename().string();
        return !name.empty() && decode(readFile(bmpData + "/" + name), "BMP").width() == 40;
    })) << name;
    EXPECT_TRUE(std::regex_match(name, std::regex("20[0-9]{6} [0-9]{6}\\.jpg"))) << name;
}

TEST(BuiltProgramE2eTest, SaveWritesBesideTheProgramAsTheBuildLeftIt)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
    // The build's own program, run where it lies: the build made its picture folder.
    const std::string folder = fs::path(DOVRANTE_EXECUTABLE).parent_path().string();
    const std::string bmpData = folder + "/Dovrante BMP Data";
    ASSERT_TRUE(fs::is_directory(bmpData));
    const auto names = [&bmpData] {
        std::set<std::string> found;
        for (const auto &entry : fs::directory_iterator(bmpData))
            found.insert(entry.path().string());
        return found;
    };
    const std::set<std::string> before = names();

    XClipboard clipboard;
    ProgramUnderTest program(ProgramUnderTest::Installed{folder, DOVRANTE_EXECUTABLE});
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::blue);
    image.save(QString::fromStdString(program.home() + "/clip.png"), "PNG");
    clipboard.putFile(program.home() + "/clip.png", "image/png");
    program.start();
    ASSERT_FALSE(program.waitForWindow().empty());
    const Place save = computeStartupLayout(1920 * 15, 1080 * 15).cmdSave;
    program.clickAt(static_cast<int>(save.left + save.width / 2) / 15,
                    static_cast<int>(save.top + save.height / 2) / 15);

    std::string saved;
    EXPECT_TRUE(waitUntil([&] {
        for (const std::string &path : names())
            if (!before.count(path) && decode(readFile(path), "BMP").width() == 40)
                saved = path;
        return !saved.empty();
    })) << "nothing saved in "
        << bmpData;
    if (!saved.empty())
        fs::remove(saved);
}

TEST_F(FilesE2eTest, SaveAsOfAPictureWritesABitmapRemembersTheFolderAndAsksBeforeReplacing)
{
    const std::string folder = program.home() + "/saved pics/";
    fs::create_directories(folder);
    start();
    click(layout.cmdSaveAs);
    choose("Save As", folder + "shot"); // the dialog adds "jpg"; the content is still a bitmap
    const std::string path = folder + "shot.jpg";
    ASSERT_TRUE(waitUntil([&] { return program.title() == path; })) << program.title();
    EXPECT_EQ(readFile(path).substr(0, 2), "BM");
    EXPECT_EQ(decode(readFile(path), "BMP").size(), QSize(40, 30));
    EXPECT_EQ(storedFolder(), folder);

    // No to the question shows the dialog once more.
    click(layout.cmdSaveAs);
    choose("Save As", path);
    const std::string question = program.waitForWindowTitled("File exists");
    ASSERT_FALSE(question.empty());
    EXPECT_NE(program.messageBoxText(question, clipboard).find("Overwrite  " + path),
              std::string::npos);
    program.pressKeysIn(question, {"Escape"});
    EXPECT_FALSE(program.waitForWindowTitled("Save As").empty());
}

TEST_F(FilesE2eTest, SaveAsOfTextWritesTheFixedLayoutAndHandsItToTheLinkProgram)
{
    const std::string path = program.home() + "/Desc/!Clips/my clip.txt";
    fs::create_directories(program.home() + "/Desc/!Clips");
    start("first\nsecond");
    click(layout.cmdSaveAs);
    choose("Save As", path);
    EXPECT_EQ(started(0), "Mervoxen|1|" + path);
    EXPECT_EQ(readFile(path), path + "\r\n\r\n\r\n\r\n" + Rule + "\r\nfirst\r\nsecond\r\n\r\n" +
                                  Rule + "\r\n\r\n\r\n" + Rule + "\r\n\r\n\r\n" + Rule + "\r\n");
}

TEST_F(FilesE2eTest, F2AndEnterRenameTheWindow)
{
    start("some text");
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
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(QString::fromStdString(folder + "photo 1.jpg"), "JPG"));

    start("before");
    program.pressKeys({"ctrl+o"});
    choose("Open Clip File", folder + "photo 1.jpg");
    EXPECT_EQ(started(0), "Dovrante|0|");
    EXPECT_EQ(program.title(), folder + "photo 1.jpg");
    EXPECT_EQ(storedFolder(), folder);
    EXPECT_EQ(decode(clipboard.read("image/png"), "PNG").size(), QSize(64, 48));
}

TEST_F(FilesE2eTest, EachCompanionButtonStartsItsProgramOnTheExactPath)
{
    start("companions");
    const std::string folder = program.folder(); // "program folder": a blank in the path
    click(layout.cmdBmpData);
    EXPECT_EQ(started(0), "Mervoxen|1|" + folder + "/Dovrante BMP Data");
    click(layout.cmdIdeas);
    EXPECT_EQ(started(1), "Mervoxen|1|" + folder + "/Dovrante Ideas.txt");
    click(layout.cmdFolders);
    EXPECT_EQ(started(2), "Notepad3|1|" + folder + "/Dovrante Folders.txt");
    click(layout.cmdTxtData);
    EXPECT_EQ(started(3), "Notepad3|1|" + folder + "/Dovrante Data.txt");

    // Without an editor beside the program or on the PATH, the command line is shown.
    fs::remove(folder + "/Notepad3");
    click(layout.cmdTxtData);
    const std::string said = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(said.find("Cannot start Notepad3 " + folder +
                        "/Dovrante Data.txt: the program was not found"),
              std::string::npos)
        << said;
}

} // namespace
} // namespace dovrante::e2e
