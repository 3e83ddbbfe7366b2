#include "app/toolbar_layout.h"
#include "e2e_harness.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSettings>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <sys/stat.h>

namespace dovrante::e2e {
namespace {

namespace fs = std::filesystem;

const StartupLayout Layout = computeStartupLayout(1920 * 15, 1080 * 15);

// One fault and what the program must make of it.
struct Fault {
    std::string name;
    // Prepares the program's folder, the clipboard and the environment before the start.
    std::function<void(struct Scene &)> arrange;
    // What the user does once the window is there; nothing for faults met at start-up.
    std::function<void(Scene &)> act;
    // What the message must say (the file or printer and the reason).
    std::vector<std::string> says;
};

// Everything one fault needs, ended with it.
struct Scene {
    XClipboard clipboard;
    ProgramUnderTest program{DOVRANTE_E2E_EXECUTABLE, "Dovrante"};
    std::unique_ptr<FakeScheduler> scheduler;
    std::unique_ptr<SilentClipboardOwner> owner;

    std::string dataFile() const { return program.folder() + "/Dovrante Data.txt"; }
    std::string bmpData() const { return program.folder() + "/Dovrante BMP Data"; }
    std::string inHome(const std::string &name) const { return program.home() + "/" + name; }

    void putPicture(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(QString::fromStdString(inHome("clip.png")), "PNG");
        clipboard.putFile(inHome("clip.png"), "image/png");
    }
    void click(const Place &place)
    {
        program.clickAt(static_cast<int>(place.left + place.width / 2) / 15,
                        static_cast<int>(place.top + place.height / 2) / 15);
    }
    void makeFifo(const std::string &path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path; }
    void fillDataFile(std::size_t bytes) { std::ofstream(dataFile()) << std::string(bytes, 'x'); }
};

// Test names carry the fault's name; its functions say nothing when printed.
void PrintTo(const Fault &fault, std::ostream *out)
{
    *out << fault.name;
}

void printOn(Scene &s, FakeScheduler::Behaviour behaviour)
{
    s.scheduler = std::make_unique<FakeScheduler>(behaviour);
    s.program.setEnvironment("CUPS_SERVER", s.scheduler->socketPath());
    s.putPicture(64, 48);
}

// The data file's contents, or how it stands when it is not a file to read.
std::string dataState(const Scene &s)
{
    const fs::path path = s.dataFile();
    if (fs::is_fifo(path))
        return "a FIFO";
    return fs::exists(path) ? readFile(path) : "missing";
}

class FaultsE2eTest : public ::testing::TestWithParam<Fault> {
protected:
    void SetUp() override { ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display"; }
};

TEST_P(FaultsE2eTest, IsReportedWithinSecondsAndLeavesTheProgramAndItsDataAsTheyWere)
{
    const Fault &fault = GetParam();
    Scene s;
    fault.arrange(s);
    const std::string before = dataState(s);

    s.program.start();
    if (fault.act) {
        ASSERT_FALSE(s.program.waitForWindow().empty());
        fault.act(s);
    }
    const std::string text = s.program.closeBox("Dovrante", s.clipboard, std::chrono::seconds(20));
    ASSERT_NE(text.rfind("(no box", 0), 0u) << text;
    for (const std::string &part : fault.says)
        EXPECT_NE(text.find(part), std::string::npos) << "\"" << part << "\" missing in: " << text;

    EXPECT_FALSE(s.program.waitForWindow().empty()) << "the window is gone";
    EXPECT_TRUE(s.program.running());
    EXPECT_EQ(dataState(s), before) << "the data file changed";
    if (fs::exists(s.bmpData())) {
        EXPECT_TRUE(fs::is_empty(s.bmpData())) << "a partial picture was left";
    }
}

const std::vector<Fault> Faults = {
    {"SchedulerThatNeverAnswers",
     [](Scene &s) { printOn(s, FakeScheduler::Behaviour::NeverAnswers); },
     [](Scene &s) { s.click(Layout.cmdPrint); },
     {"Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"}},
    {"SchedulerThatDropsEachConnection",
     [](Scene &s) { printOn(s, FakeScheduler::Behaviour::DropsConnections); },
     [](Scene &s) { s.click(Layout.cmdPrint); },
     {"Nothing was printed", "CUPS scheduler at /tmp/dovrante-cups-", "did not answer"}},
    {"ClipboardNamesAJpgThatIsAFifo",
     [](Scene &s) {
         s.makeFifo(s.inHome("pipe.jpg"));
         s.clipboard.putText(s.inHome("pipe.jpg"));
     },
     nullptr,
     {"pipe.jpg", "not a regular file"}},
    {"DataFileIsAFifo",
     [](Scene &s) {
         s.makeFifo(s.dataFile());
         s.clipboard.putText("some text");
     },
     nullptr,
     {"Dovrante Data.txt", "not a regular file"}},
    {"OpenOnAFifo",
     [](Scene &s) {
         s.makeFifo(s.inHome("pipe.jpg"));
         s.putPicture(64, 48);
     },
     [](Scene &s) {
         s.click(Layout.cmdOpen);
         ASSERT_TRUE(s.program.answerDialog("Open Clip File", s.inHome("pipe.jpg")));
     },
     {"pipe.jpg", "not a regular file"}},
    {"DataFileAlreadyOverTheFileSizeLimit",
     [](Scene &s) {
         s.fillDataFile(150000);
         s.program.setFileSizeLimit(100000);
         s.clipboard.putText("some text");
     },
     nullptr,
     {"Dovrante Data.txt", "File too large"}},
    {"EntryThatCrossesTheFileSizeLimit",
     [](Scene &s) {
         s.fillDataFile(99990);
         s.program.setFileSizeLimit(100000);
         s.clipboard.putText("some text that does not fit under the limit");
     },
     nullptr,
     {"Dovrante Data.txt", "File too large"}},
    {"PictureSavedPastTheFileSizeLimit",
     [](Scene &s) {
         fs::create_directories(s.bmpData());
         s.program.setFileSizeLimit(50000);
         s.putPicture(200, 200); // 160 kB as a bitmap
     },
     [](Scene &s) { s.click(Layout.cmdSave); },
     {"Dovrante BMP Data", "File too large"}},
    {"ClipboardOwnerThatNeverHandsTheTextOver",
     [](Scene &s) { s.owner = std::make_unique<SilentClipboardOwner>(false); },
     nullptr,
     {"offers text", "Nothing was taken"}},
    {"ClipboardOwnerThatEndsWhenAskedForTheText",
     [](Scene &s) { s.owner = std::make_unique<SilentClipboardOwner>(true); },
     nullptr,
     {"offers text", "Nothing was taken"}},
    {"ClipboardNamesAJpgThatIsAFolder",
     [](Scene &s) {
         fs::create_directories(s.inHome("pictures.jpg"));
         s.clipboard.putText(s.inHome("pictures.jpg"));
     },
     nullptr,
     {"pictures.jpg", "is a folder"}},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultsE2eTest, ::testing::ValuesIn(Faults),
                         [](const ::testing::TestParamInfo<Fault> &fault) {
                             return fault.param.name;
                         });

TEST(FaultsE2e, SaveAsTakesATypedNameWithDoubleQuotesAsTyped)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "no X display";
    Scene s;
    const std::string folder = s.inHome("saved");
    fs::create_directories(folder);
    s.putPicture(40, 30);
    s.program.start();
    ASSERT_FALSE(s.program.waitForWindow().empty());

    s.click(Layout.cmdSaveAs);
    ASSERT_TRUE(s.program.answerDialog("Save As", folder + "/my \"best\" shot.jpg"));

    const std::string saved = folder + "/my \"best\" shot.jpg";
    EXPECT_TRUE(waitUntil([&] { return QImage(QString::fromStdString(saved)).width() == 40; }));
    EXPECT_FALSE(fs::exists(folder + "/best.jpg"));
    EXPECT_TRUE(waitUntil([&] { return s.program.title() == saved; })) << s.program.title();
    const QSettings settings(QString::fromStdString(s.inHome(".config/Dovrante/Dovrante.conf")),
                             QSettings::IniFormat);
    EXPECT_EQ(settings.value("Setting/ImageFolder").toString().toStdString(), folder + "/");
}

TEST(FaultsE2e, WithoutADisplayItSaysSoAndEndsWithAnOrdinaryFailure)
{
    const CommandResult result =
        run({"sh", "-c",
             "exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "
             "\"$0\" 2>&1",
             DOVRANTE_E2E_EXECUTABLE});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("no display could be opened"), std::string::npos) << result.output;
}

} // namespace
} // namespace dovrante::e2e
