// `cmake --install` of this build into its prefix inside the build tree, the installed program
// started from there, installing again, and uninstalling.

#include "e2e_harness.h"

#include <QXmlStreamReader>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

const std::string Prefix = DOVRANTE_INSTALL_PREFIX;
const std::string ProgramFolder = Prefix + "/lib/Dovrante";
const std::string BmpData = ProgramFolder + "/Dovrante BMP Data";

const std::vector<std::string> Install{CMAKE_COMMAND, "--install", DOVRANTE_BINARY_DIR};
const std::vector<std::string> Uninstall{DOVRANTE_SOURCE_DIR "/scripts/uninstall.sh",
                                         DOVRANTE_BINARY_DIR};

// Runs the command, staged under the folder given as DESTDIR when there is one.
void succeeds(std::vector<std::string> command, const std::string &destDir = {})
{
    command.insert(command.begin(), {"env", "DESTDIR=" + destDir});
    const CommandResult result = run(command);
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

class InstallE2eTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
        if (!fs::weakly_canonical(Prefix).string().starts_with(
                fs::weakly_canonical(DOVRANTE_BINARY_DIR).string() + "/"))
            GTEST_SKIP() << "the install prefix " << Prefix << " lies outside the build tree";
        // A fresh prefix, and no record of folders made by an earlier install there.
        fs::remove_all(Prefix);
        fs::remove(DOVRANTE_BINARY_DIR "/install_created_folders.txt");
        succeeds(Install);
    }
    void TearDown() override { fs::remove_all(Prefix); }
};

TEST_F(InstallE2eTest, PutsTheProgramFolderTheCommandTheDesktopEntryAndTheIcon)
{
    for (const char *program : {"/Dovrante", "/Notepad3", "/tools/Mervoxen"})
        EXPECT_EQ(::access((ProgramFolder + program).c_str(), X_OK), 0) << program;
    EXPECT_TRUE(fs::is_directory(BmpData) && fs::is_empty(BmpData));
    // The links lead to the installed program, not to the build tree's.
    for (const std::string &link : {Prefix + "/bin/Dovrante", ProgramFolder + "/tools/Dovrante"})
        EXPECT_TRUE(fs::is_symlink(link) &&
                    fs::weakly_canonical(link) == fs::weakly_canonical(ProgramFolder + "/Dovrante"))
            << link;
    // Nothing of the user's is installed.
    EXPECT_FALSE(fs::exists(ProgramFolder + "/Dovrante Data.txt"));

    const std::string entry = Prefix + "/share/applications/dovrante.desktop";
    const CommandResult validation = run({"desktop-file-validate", entry}); // silent: no hints
    EXPECT_TRUE(validation.exitCode == 0 && validation.output.empty()) << validation.output;
    const std::string text = readFile(entry);
    EXPECT_NE(text.find("\nExec=\"" + ProgramFolder + "/Dovrante\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=dovrante\n"), std::string::npos) << text;

    // The theme's icons: the program's own drawing, pixel for pixel, and a well-formed SVG.
    const std::string icons = Prefix + "/share/icons/hicolor";
    const QImage png(QString::fromStdString(icons + "/32x32/apps/dovrante.png"), "PNG");
    const QImage drawn(DOVRANTE_SOURCE_DIR "/desktop/icons/dovrante.xpm", "XPM");
    EXPECT_EQ(png.convertToFormat(QImage::Format_ARGB32),
              drawn.convertToFormat(QImage::Format_ARGB32));
    QXmlStreamReader svg(
        QByteArray::fromStdString(readFile(icons + "/scalable/apps/dovrante.svg")));
    EXPECT_TRUE(svg.readNextStartElement() && svg.name() == QStringLiteral("svg") &&
                svg.attributes().value("viewBox") == QStringLiteral("0 0 32 32"));
    while (!svg.atEnd())
        svg.readNext();
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
}

TEST_F(InstallE2eTest, StartedByItsCommandItKeepsItsFilesInItsFolderAndStartsTheInstalledTools)
{
    ProgramUnderTest program(ProgramUnderTest::Installed{ProgramFolder, Prefix + "/bin/Dovrante"});
    // The installed link program gives way to a stand-in that records how it was started.
    writeRecorder(ProgramFolder + "/tools/Mervoxen", program.home() + "/started");
    XClipboard clipboard;
    clipboard.put("copied before the start");
    program.start();
    const std::string window = program.waitForWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(waitUntil([] {
        return readFile(ProgramFolder + "/Dovrante Data.txt").find("copied before the start") !=
               std::string::npos;
    }));

    // The window carries the program's icon, and its class matches the desktop entry's.
    EXPECT_NE(run({"xprop", "-id", window, "_NET_WM_ICON"}).output.find("Icon (32 x 32)"),
              std::string::npos);
    EXPECT_NE(run({"xprop", "-id", window, "WM_CLASS"}).output.find("\"Dovrante\""),
              std::string::npos);

    // It finds the installed link program.
    program.click(ScreenLayout.cmdBmpData);
    EXPECT_EQ(waitForLine(program.home() + "/started", 0), "Mervoxen|1|" + BmpData);

    // The first Save of a picture goes into the folder the install made.
    clipboard.put(painted(40, 30, Qt::darkCyan));
    program.pressKeys({"F5"});
    program.click(ScreenLayout.cmdSave);
    EXPECT_TRUE(waitUntil([] { return !fs::is_empty(BmpData); }));
}

TEST_F(InstallE2eTest, InstallingAgainKeepsTheUsersFilesAndUninstallingLeavesOnlyThem)
{
    const std::map<std::string, std::string> usersFiles{
        {ProgramFolder + "/Dovrante Data.txt", "an entry\r\n"},
        {ProgramFolder + "/Dovrante Ideas.txt", "an idea\n"},
        {ProgramFolder + "/Dovrante Folders.txt", "/home/somebody\n"},
        {BmpData + "/20261205 035044.jpg", "BM a saved picture"}};
    for (const auto &[path, contents] : usersFiles)
        std::ofstream(path, std::ios::binary) << contents;
    // A changed stand-in is the install's own file: installing again puts it back.
    std::ofstream(ProgramFolder + "/Notepad3") << "#!/bin/sh\nexec my-editor \"$1\"\n";

    const auto usersFilesKept = [&] {
        for (const auto &[path, contents] : usersFiles)
            EXPECT_EQ(readFile(path), contents) << path;
    };
    succeeds(Install);
    usersFilesKept();
    EXPECT_EQ(readFile(ProgramFolder + "/Notepad3"),
              readFile(DOVRANTE_SOURCE_DIR "/tools/Notepad3.sh"));
    succeeds(Uninstall);
    usersFilesKept();
    for (const std::string &gone :
         {ProgramFolder + "/Dovrante", ProgramFolder + "/Notepad3", ProgramFolder + "/tools",
          Prefix + "/bin/Dovrante", Prefix + "/share/applications/dovrante.desktop",
          Prefix + "/share/icons/hicolor/32x32/apps/dovrante.png",
          Prefix + "/share/icons/hicolor/scalable/apps/dovrante.svg"})
        EXPECT_FALSE(fs::exists(fs::symlink_status(gone))) << gone;

    // Without files of the user's nothing of the program is left, not even the folders the
    // install made above it; a folder that was there before the install stays.
    fs::remove_all(ProgramFolder);
    succeeds(Install);
    succeeds(Uninstall);
    EXPECT_FALSE(fs::exists(Prefix)) << "the install made the prefix itself";

    const std::string ownFolder = Prefix + "/share/applications";
    fs::create_directories(ownFolder);
    succeeds(Install);
    succeeds(Uninstall);
    EXPECT_TRUE(fs::is_directory(ownFolder));
    for (const std::string &gone : {Prefix + "/bin", Prefix + "/lib", Prefix + "/share/icons"})
        EXPECT_FALSE(fs::exists(gone)) << gone;

    // Characters a file-name pattern reads as its own: the folder must still be seen as holding
    // pictures.
    const std::string stage = fs::weakly_canonical(DOVRANTE_BINARY_DIR).string() + "/stage [1]*";
    fs::remove_all(stage);
    succeeds(Install, stage);
    const std::string picture = stage + BmpData + "/20261205 035044.jpg";
    std::ofstream(picture, std::ios::binary) << "BM a saved picture";
    succeeds(Uninstall, stage);
    EXPECT_EQ(readFile(picture), "BM a saved picture");
    EXPECT_FALSE(fs::exists(stage + ProgramFolder + "/Dovrante"));
    fs::remove_all(stage);
}

} // namespace
} // namespace dovrante::e2e
