// The desktop services against the real disk, processes and settings file; no display needed.

#include "platform/qt/local_file_system.h"
#include "platform/qt/process_launcher.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_settings_store.h"
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

std::string contents(const std::string &path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class QtServicesTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    const std::string root = temp.path().toStdString();
};

TEST_F(QtServicesTest, FileDialogsKeepEmptyPatternsAndOpenWhereTheNameSays)
{
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

TEST_F(QtServicesTest, AttributesAndWholeWritesOnTheDisk)
{
    LocalFileSystem files;
    fs::create_directories(root + "/.hidden");
    EXPECT_EQ(files.attributes(root + "/.hidden/"), 16 | 2) << "named with its trailing slash";
    EXPECT_EQ(files.attributes(root + "/missing.txt"), std::nullopt);

    const std::string path = root + "/clip.txt";
    EXPECT_FALSE(files.writeWhole(path, "new\r\n"));
    EXPECT_EQ(files.attributes(path), 32);
    EXPECT_EQ(contents(path), "new\r\n");
    const MaybeFailure onFolder = files.writeWhole(root + "/.hidden", "x");
    ASSERT_TRUE(onFolder);
    EXPECT_NE(onFolder->description.find(root + "/.hidden"), std::string::npos);
    // Nothing half-written is left beside the target.
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 2);
}

TEST_F(QtServicesTest, AppendsOnlyToRegularFilesAndNeverWaitsOnAFifo)
{
    LocalFileSystem files;
    const std::string path = root + "/Data.txt";
    EXPECT_FALSE(files.append(path, "one\r\n"));
    EXPECT_FALSE(files.append(path, "two\r\n"));
    EXPECT_EQ(contents(path), "one\r\ntwo\r\n");

    for (const std::string &notAFile : {root + "/pipe", root + "/folder"}) {
        if (notAFile.ends_with("pipe"))
            ASSERT_EQ(::mkfifo(notAFile.c_str(), 0644), 0);
        else
            fs::create_directories(notAFile);
        const MaybeFailure refused = files.append(notAFile, "x");
        ASSERT_TRUE(refused) << notAFile;
        EXPECT_NE(refused->description.find(notAFile), std::string::npos);
    }
    EXPECT_NE(files.append(root + "/pipe", "x")->description.find("not a regular file"),
              std::string::npos);
}

TEST_F(QtServicesTest, APathWithShellCharactersIsOneArgumentAndRunsNothingElse)
{
    FakeProgramLocation location;
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

    EXPECT_EQ(launcher.start("NoSuchProgramAnywhere", "/x", 2)->description,
              "the program was not found");
    EXPECT_EQ(launcher.start(record, "/x", 2)->description, "the program is not executable");
}

TEST_F(QtServicesTest, SettingsKeepFoldersExactlyAndReadHandEditedCommas)
{
    qputenv("XDG_CONFIG_HOME", temp.path().toUtf8());
    QtSettingsStore settings;
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", "/default/"), "/default/");
    for (const std::string folder : {"/home/a, b/", " lead/ ", "/@x/\"q\";=#\\/"}) {
        settings.saveSetting("Dovrante", "Setting", "ImageFolder", folder);
        EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), folder);
    }
    std::ofstream(root + "/Dovrante/Dovrante.conf") << "[Setting]\nImageFolder=/home/a, b/\n";
    EXPECT_EQ(settings.setting("Dovrante", "Setting", "ImageFolder", ""), "/home/a, b/");
}

} // namespace
} // namespace dovrante::test
