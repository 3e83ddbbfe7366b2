// `cmake --install` of this build into its prefix inside the build tree, the installed program
// started from there, installing again, and uninstalling.

#include "e2e_harness.h"

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

#include <filesystem>
#include <fstream>
#include <map>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

const std::string Prefix = DOVRANTE_INSTALL_PREFIX;
const std::string ProgramFolder = Prefix + "/lib/Dovrante";
const std::string BmpData = ProgramFolder + "/Dovrante BMP Data";

bool isExecutable(const std::string &path)
{
    return (fs::status(path).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

// Where a link leads, as the system resolves it.
std::string resolved(const std::string &path)
{
    std::error_code error;
    return fs::canonical(path, error).string();
}

class InstallE2eTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display to test on";
        const std::string buildTree = fs::weakly_canonical(DOVRANTE_BINARY_DIR).string() + "/";
        if (fs::weakly_canonical(Prefix).string().rfind(buildTree, 0) != 0)
            GTEST_SKIP() << "the install prefix " << Prefix
                         << " lies outside the build tree; a test installs only inside it";
        // A fresh prefix, and no record of folders made by an earlier install there.
        fs::remove_all(Prefix);
        fs::remove(DOVRANTE_BINARY_DIR "/install_created_folders.txt");
        install();
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(Prefix, ignored);
    }

    // Both into the prefix, or staged under a folder given as DESTDIR.
    static void install(const std::string &destDir = {})
    {
        const CommandResult result =
            run({"env", "DESTDIR=" + destDir, CMAKE_COMMAND, "--install", DOVRANTE_BINARY_DIR});
        ASSERT_EQ(result.exitCode, 0) << result.output;
    }

    static void uninstall(const std::string &destDir = {})
    {
        const CommandResult result =
            run({"env", "DESTDIR=" + destDir, DOVRANTE_SOURCE_DIR "/scripts/uninstall.sh",
                 DOVRANTE_BINARY_DIR});
        ASSERT_EQ(result.exitCode, 0) << result.output;
    }
};

TEST_F(InstallE2eTest, PutsTheProgramFolderTheCommandTheDesktopEntryAndTheIcon)
{
    for (const std::string &program : {ProgramFolder + "/Dovrante", ProgramFolder + "/Notepad3",
                                       ProgramFolder + "/tools/Mervoxen"})
        EXPECT_TRUE(isExecutable(program)) << program;
    EXPECT_TRUE(fs::is_directory(BmpData));
    EXPECT_TRUE(fs::is_empty(BmpData));
    // The links lead to the installed program, not to the build tree's.
    for (const std::string &link : {Prefix + "/bin/Dovrante", ProgramFolder + "/tools/Dovrante"}) {
        EXPECT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(resolved(link), resolved(ProgramFolder + "/Dovrante")) << link;
    }
    // Nothing of the user's is installed.
    EXPECT_FALSE(fs::exists(ProgramFolder + "/Dovrante Data.txt"));

    const std::string entry = Prefix + "/share/applications/dovrante.desktop";
    const CommandResult validation = run({"desktop-file-validate", entry});
    EXPECT_EQ(validation.exitCode, 0) << validation.output;
    EXPECT_EQ(validation.output, "") << "hints or warnings";
    const std::string text = readFile(entry);
    EXPECT_NE(text.find("\nExec=\"" + ProgramFolder + "/Dovrante\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=dovrante\n"), std::string::npos) << text;

    // The theme's 32 x 32 icon is the program's own 16-colour drawing, pixel for pixel.
    const QImage png(
        QString::fromStdString(Prefix + "/share/icons/hicolor/32x32/apps/dovrante.png"), "PNG");
    ASSERT_EQ(png.size(), QSize(32, 32));
    const QImage drawn(DOVRANTE_SOURCE_DIR "/desktop/icons/dovrante.xpm", "XPM");
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            colours.insert(png.pixel(x, y));
            ASSERT_EQ(png.pixel(x, y), drawn.pixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_LE(colours.size(), 16);

    QFile svg(QString::fromStdString(Prefix + "/share/icons/hicolor/scalable/apps/dovrante.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QStringLiteral("svg"));
    EXPECT_EQ(xml.attributes().value("viewBox"), QStringLiteral("0 0 32 32"));
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}

TEST_F(InstallE2eTest, StartedByItsCommandItKeepsItsFilesInItsFolderAndStartsTheInstalledTools)
{
    ProgramUnderTest program(ProgramUnderTest::Installed{ProgramFolder, Prefix + "/bin/Dovrante"});
    // The installed link program and editor give way to stand-ins that record how they started.
    for (const std::string &path : {ProgramFolder + "/tools/Mervoxen", ProgramFolder + "/Notepad3"})
        writeRecorder(path, program.home() + "/started");
    const auto started = [&](std::size_t n) { return waitForLine(program.home() + "/started", n); };

    XClipboard clipboard;
    clipboard.putText("copied before the start");
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

    program.click(ScreenLayout.cmdTxtData);
    EXPECT_EQ(started(0), "Notepad3|1|" + ProgramFolder + "/Dovrante Data.txt");
    program.click(ScreenLayout.cmdBmpData);
    EXPECT_EQ(started(1), "Mervoxen|1|" + BmpData);

    // The first Save of a picture goes into the folder the install made.
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    clipboard.putImage(image, program.home() + "/clip.png");
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

    install();
    for (const auto &[path, contents] : usersFiles)
        EXPECT_EQ(readFile(path), contents) << path;
    EXPECT_EQ(readFile(ProgramFolder + "/Notepad3"),
              readFile(DOVRANTE_SOURCE_DIR "/tools/Notepad3.sh"));

    uninstall();
    for (const auto &[path, contents] : usersFiles)
        EXPECT_EQ(readFile(path), contents) << path;
    for (const std::string &gone :
         {ProgramFolder + "/Dovrante", ProgramFolder + "/Notepad3", ProgramFolder + "/tools",
          Prefix + "/bin/Dovrante", Prefix + "/share/applications/dovrante.desktop",
          Prefix + "/share/icons/hicolor/32x32/apps/dovrante.png",
          Prefix + "/share/icons/hicolor/scalable/apps/dovrante.svg"})
        EXPECT_FALSE(fs::exists(fs::symlink_status(gone))) << gone;

    // Without files of the user's nothing of the program is left, not even the folders the
    // install made above it; a folder that was there before the install stays.
    fs::remove_all(ProgramFolder);
    install();
    uninstall();
    EXPECT_FALSE(fs::exists(Prefix)) << "the install made the prefix itself";

    const std::string ownFolder = Prefix + "/share/applications";
    fs::create_directories(ownFolder);
    install();
    uninstall();
    EXPECT_TRUE(fs::is_directory(ownFolder));
    for (const std::string &gone : {Prefix + "/bin", Prefix + "/lib", Prefix + "/share/icons"})
        EXPECT_FALSE(fs::exists(gone)) << gone;
}

TEST_F(InstallE2eTest, UninstallingKeepsThePicturesWhateverCharactersTheFolderNameHolds)
{
    // Characters a file-name pattern would read as its own: the folder holding pictures must
    // still be seen as holding them.
    const std::string stage = fs::weakly_canonical(DOVRANTE_BINARY_DIR).string() + "/stage [1]*";
    fs::remove_all(stage);
    install(stage);
    const std::string picture = stage + BmpData + "/20261205 035044.jpg";
    std::ofstream(picture, std::ios::binary) << "BM a saved picture";

    uninstall(stage);
    EXPECT_EQ(readFile(picture), "BM a saved picture");
    EXPECT_FALSE(fs::exists(stage + ProgramFolder + "/Dovrante"));
    fs::remove_all(stage);
}

} // namespace
} // namespace dovrante::e2e
