// Saving, opening and the companion programs, with stand-ins that record how they were started.

#include "e2e_harness.h"

#include <QSettings>

#include <filesystem>
#include <regex>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

// The program built with the tests' own tools folder, where the link program and the program's
// copy are recording stand-ins, as is the editor beside the program.
class FilesE2eTest : public E2eTest {
protected:
    FilesE2eTest() : E2eTest(DOVRANTE_E2E_EXECUTABLE) {}

    void SetUp() override
    {
        E2eTest::SetUp();
        const std::string tools = DOVRANTE_E2E_TOOLS_DIR;
        fs::create_directories(tools);
        for (const std::string &path :
             {tools + "/Mervoxen", tools + "/Dovrante", program.file("Notepad3")})
            writeRecorder(path, program.home() + "/started");
    }

    // The n-th program started (from 0), once it has been.
    std::string started(std::size_t n) { return waitForLine(program.home() + "/started", n); }

    std::string storedFolder() const
    {
        const std::string file = program.home() + "/.config/Dovrante/Dovrante.conf";
        const QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
        return settings.value("Setting/ImageFolder").toString().toStdString();
    }
};

TEST_F(FilesE2eTest, APictureIsSavedAsABitmapNamedFromTheMomentOrAsChosen)
{
    // The build leaves its own program a picture folder.
    EXPECT_TRUE(
        fs::is_directory(fs::path(DOVRANTE_EXECUTABLE).parent_path() / "Dovrante BMP Data"));
    // The executable is the file "Dovrante", so its pictures go to "Dovrante BMP Data".
    const std::string bmpData = program.file("Dovrante BMP Data");
    startWith(painted(40, 30, Qt::blue));
    program.click(ScreenLayout.cmdSave);
    EXPECT_NE(program.closeBox("Dovrante", clipboard).find(bmpData + "/"), std::string::npos);
    EXPECT_FALSE(fs::exists(bmpData)) << "no folder is made";
    fs::create_directories(bmpData);
    program.click(ScreenLayout.cmdSave);
    std::string name;
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &entry : fs::directory_iterator(bmpData))
            name = entry.path().filename().string();
        return !name.empty() &&
               QImage(QString::fromStdString(bmpData + "/" + name), "BMP").width() == 40;
    })) << name;
    EXPECT_TRUE(std::regex_match(name, std::regex("20[0-9]{6} [0-9]{6}\\.jpg"))) << name;

    // Save As: the dialog adds "jpg"; a name with double quotes is taken as typed.
    const std::string folder = program.home() + "/saved pics/";
    fs::create_directories(folder);
    for (const auto &[typed, path] :
         {std::pair{folder + "shot", folder + "shot.jpg"},
          std::pair{folder + "my \"best\" shot.jpg", folder + "my \"best\" shot.jpg"}}) {
        program.click(ScreenLayout.cmdSaveAs);
        ASSERT_TRUE(program.answerDialog("Save As", typed));
        ASSERT_TRUE(waitUntil([&] { return program.title() == path; })) << program.title();
        EXPECT_EQ(readFile(path).substr(0, 2), "BM") << "the content is still a bitmap";
        EXPECT_EQ(QImage(QString::fromStdString(path), "BMP").size(), QSize(40, 30));
        EXPECT_EQ(storedFolder(), folder);
    }
    EXPECT_FALSE(fs::exists(folder + "best.jpg"));
    // No to the question shows the dialog once more.
    program.click(ScreenLayout.cmdSaveAs);
    ASSERT_TRUE(program.answerDialog("Save As", folder + "shot.jpg"));
    const std::string question = program.waitForWindowTitled("File exists");
    ASSERT_FALSE(question.empty());
    EXPECT_NE(program.messageBoxText(question, clipboard).find("Overwrite  " + folder + "shot.jpg"),
              std::string::npos);
    program.pressKeysIn(question, {"Escape"});
    EXPECT_FALSE(program.waitForWindowTitled("Save As").empty());
}

TEST_F(FilesE2eTest, TextIsSavedAndEachCompanionAndOpenStartsItsProgramOnTheExactPath)
{
    startWith("first\nsecond");
    // Text is saved in a fixed layout and handed to the link program.
    const std::string rule(79, '-');
    const std::string path = program.home() + "/Desc/!Clips/my clip.txt";
    fs::create_directories(program.home() + "/Desc/!Clips");
    program.click(ScreenLayout.cmdSaveAs);
    ASSERT_TRUE(program.answerDialog("Save As", path));
    EXPECT_EQ(started(0), "Mervoxen|1|" + path);
    EXPECT_EQ(readFile(path), path + "\r\n\r\n\r\n\r\n" + rule + "\r\nfirst\r\nsecond\r\n\r\n" +
                                  rule + "\r\n\r\n\r\n" + rule + "\r\n\r\n\r\n" + rule + "\r\n");

    const std::string folder = program.folder(); // "program folder": a blank in the path
    const std::pair<Place, std::string> companions[] = {
        {ScreenLayout.cmdBmpData, "Mervoxen|1|" + folder + "/Dovrante BMP Data"},
        {ScreenLayout.cmdIdeas, "Mervoxen|1|" + folder + "/Dovrante Ideas.txt"},
        {ScreenLayout.cmdFolders, "Notepad3|1|" + folder + "/Dovrante Folders.txt"},
        {ScreenLayout.cmdTxtData, "Notepad3|1|" + folder + "/Dovrante Data.txt"},
    };
    for (std::size_t i = 0; i < std::size(companions); ++i) {
        program.click(companions[i].first);
        EXPECT_EQ(started(i + 1), companions[i].second);
    }
    // Without an editor beside the program or on the PATH, the command line is shown.
    fs::remove(program.file("Notepad3"));
    program.click(ScreenLayout.cmdTxtData);
    const std::string said = program.closeBox("Dovrante", clipboard);
    EXPECT_NE(said.find("Cannot start Notepad3 " + folder +
                        "/Dovrante Data.txt: the program was not found"),
              std::string::npos)
        << said;

    // Ctrl+O puts the chosen JPEG on the clipboard and starts the program's copy, which shows it.
    const std::string photo = program.home() + "/my pics/photo 1.jpg";
    fs::create_directories(program.home() + "/my pics");
    ASSERT_TRUE(painted(64, 48, Qt::darkGreen).save(QString::fromStdString(photo), "JPG"));
    program.pressKeys({"ctrl+o"});
    ASSERT_TRUE(program.answerDialog("Open Clip File", photo));
    EXPECT_EQ(started(5), "Dovrante|0|");
    EXPECT_EQ(program.title(), photo);
    EXPECT_EQ(storedFolder(), program.home() + "/my pics/");
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(clipboard.read("image/png"))).size(),
              QSize(64, 48));
}

} // namespace
} // namespace dovrante::e2e
