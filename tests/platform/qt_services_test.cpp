// The desktop services against the real disk, processes and settings file; no display needed.

#include "platform/qt/local_file_system.h"
#include "platform/qt/process_launcher.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_settings_store.h"
#include "support/fakes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace dovrante::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void writeScript(const std::string &path, const std::string &body)
{
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
}

class QtServicesTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    std::string root() const { return temp.path().toStdString(); }
};

TEST_F(QtServicesTest, FilterStringsBecomeQtFiltersKeepingDescriptionsWithoutPatterns)
{
    EXPECT_EQ(qtNameFilters("All Files (*.*)|*.*|JPG Files (*.jpg)|"),
              (QStringList{"All Files (*.*) (*)", "JPG Files (*.jpg) (*.jpg)"}));
    EXPECT_EQ(qtNameFilters("All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Bitmap Files (*.bmp)|"),
              (QStringList{"All Files (*.*) (*)", "Text Files (*.txt) (*.txt)",
                           "Bitmap Files (*.bmp) (*.bmp)"}));
    EXPECT_EQ(qtNameFilters("Pictures|*.png; *.gif|Anything|"),
              (QStringList{"Pictures (*.png *.gif)", "Anything (*)"}));
}

TEST_F(QtServicesTest, TheDialogOpensInTheInitialNamesFolderWithoutFillingInPatterns)
{
    const std::string pictures = root() + "/my pics/";
    fs::create_directories(pictures);
    FileDialogRequest request;
    request.initialFolder = root();

    request.initialFileName = pictures + "*.*";
    FileDialogStart start = fileDialogStart(request);
    EXPECT_EQ(QDir(start.folder), QDir(QString::fromStdString(pictures)));
    EXPECT_TRUE(start.fileName.isEmpty());

    request.initialFileName = "*.txt";
    start = fileDialogStart(request);
    EXPECT_EQ(QDir(start.folder), QDir(temp.path()));
    EXPECT_TRUE(start.fileName.isEmpty());

    request.initialFileName = pictures + "x.jpg";
    EXPECT_EQ(fileDialogStart(request).fileName, "x.jpg");

    // A start folder that does not exist opens the home folder.
    request.initialFileName = root() + "/gone/*.*";
    EXPECT_EQ(QDir(fileDialogStart(request).folder), QDir::home());
    request.initialFileName = "*.txt";
    request.initialFolder = root() + "/gone";
    EXPECT_EQ(QDir(fileDialogStart(request).folder), QDir::home());
}

TEST_F(QtServicesTest, AttributesAreTheClassicBits)
{
    LocalFileSystem files;
    fs::create_directories(root() + "/plain");
    fs::create_directories(root() + "/.hidden");
    std::ofstream(root() + "/file.txt") << "x";
    EXPECT_EQ(files.attributes(root() + "/plain/"), FileAttribute::Directory);
    EXPECT_EQ(files.attributes(root() + "/.hidden/"),
              FileAttribute::Directory | FileAttribute::Hidden);
    EXPECT_EQ(files.attributes(root() + "/file.txt"), FileAttribute::Archive);
    EXPECT_EQ(files.attributes(root() + "/missing.txt"), std::nullopt);
}

TEST_F(QtServicesTest, AWholeWriteReplacesTheFileOrLeavesItAndNamesTheReason)
{
    LocalFileSystem files;
    const std::string path = root() + "/clip.txt";
    std::ofstream(path) << "old and good";
    EXPECT_FALSE(files.writeWhole(path, "new\r\n"));
    EXPECT_EQ(readFile(path), "new\r\n");

    fs::create_directories(root() + "/a folder");
    const MaybeFailure onFolder = files.writeWhole(root() + "/a folder", "x");
    ASSERT_TRUE(onFolder);
    EXPECT_NE(onFolder->description.find(root() + "/a folder"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(root() + "/a folder"));

    const MaybeFailure noFolder = files.writeWhole(root() + "/missing/clip.txt", "x");
    ASSERT_TRUE(noFolder);
    EXPECT_NE(noFolder->description.find("missing/clip.txt"), std::string::npos);
    // Nothing half-written is left beside the target either.
    EXPECT_EQ(std::distance(fs::directory_iterator(root()), fs::directory_iterator()), 2);
}

TEST_F(QtServicesTest, APathWithShellCharactersIsOneArgumentAndRunsNothingElse)
{
    FakeProgramLocation location;
    location.folder = root() + "/program folder";
    fs::create_directories(location.folder);
    const std::string record = root() + "/record";
    const std::string marker = root() + "/ran";
    writeScript(location.folder + "/Recorder", "printf '%s|' \"$#\" \"$@\" > '" + record +
                                                   ".tmp'; mv '" + record + ".tmp' '" + record +
                                                   "'\n");
    ProcessLauncher launcher(location);

    const std::string argument =
        root() + "/my \"quoted\" folder; touch " + marker + " $(touch " + marker + ")/x'y.txt";
    EXPECT_FALSE(launcher.start("Recorder", argument, WindowStyle::MaximizedFocus));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(readFile(record), "1|" + argument + "|");
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(QtServicesTest, AProgramThatCannotStartGivesTheReason)
{
    FakeProgramLocation location;
    location.folder = root();
    std::ofstream(root() + "/NotExecutable") << "#!/bin/sh\n";
    ProcessLauncher launcher(location);

    const MaybeFailure missing = launcher.start("NoSuchProgramAnywhere", "/x", 2);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->description, "the program was not found");
    const MaybeFailure plain = launcher.start(root() + "/NotExecutable", "/x", 2);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->description, "the program is not executable");
}

TEST_F(QtServicesTest, SettingsKeepFoldersExactlyAndReadHandEditedCommas)
{
    qputenv("XDG_CONFIG_HOME", temp.path().toUtf8());
    QtSettingsStore settings;
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", "/default/"), "/default/");
    for (const std::string folder :
         {"/home/a, b/", " lead/ ", "/@x/\"q\"/", "/a;b=c#d\\e/", "/\xc3\xbc/"}) {
        settings.saveSetting("Dovrante", "Setting", "ImageFolder", folder);
        EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), folder);
    }
    std::ofstream(root() + "/Dovrante/Dovrante.conf") << "[Setting]\nImageFolder=/home/a, b/\n";
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), "/home/a, b/");
}

} // namespace
} // namespace dovrante::test
