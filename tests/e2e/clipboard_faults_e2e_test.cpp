// Clipboard owners that hang, trickle, flood, announce too much or speak unusual types, and memory
// limits: a fault is said in a message and the program goes on, and text is taken as meant, both
// as the program starts and on F5.

#include "e2e_harness.h"

#include <QImageWriter>

namespace dovrante::e2e {
namespace {

constexpr long GiB = 1L << 30;

// A clipboard owner of the tests' own (see hostile_clipboard_owner.cpp).
struct Owner {
    std::vector<std::string> arguments;
    // Takes the clipboard; true once it holds it.
    bool start(Process &process) const
    {
        std::vector<std::string> argv{DOVRANTE_HOSTILE_OWNER};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return launch(process, argv) &&
               process.waitForReadyRead(static_cast<int>(Patience.count())) &&
               process.readLine().trimmed() == "owner";
    }
};

// One clip: put there by xclip as a type, or by an owner of the tests' own.
struct Clip {
    std::string type, bytes;
    Owner owner;
};

class ClipboardE2eTest : public E2eTest {
public:
    void put(const Clip &clip)
    {
        if (clip.owner.arguments.empty())
            clipboard.put(clip.bytes, clip.type);
        else
            ASSERT_TRUE(clip.owner.start(owner)) << "the owner did not take the clipboard";
    }
    // Starts the program on the clip, or on plain text and then takes the clip with F5.
    void take(const Clip &clip, bool onReload)
    {
        if (onReload) {
            startWith("shown before");
            ASSERT_FALSE(waitForLine(program.dataFile(), 2).empty());
            put(clip);
            program.pressKeys({"F5"});
        } else {
            put(clip);
            program.start();
        }
    }
    Process owner;
};

struct Fault {
    std::string name;
    Clip clip;
    bool onReload = false;
    long memoryLimit = 0; // bytes of address space, or none
    std::vector<std::string> says;
    friend void PrintTo(const Fault &row, std::ostream *out) { *out << row.name; }
};

class ClipboardFaultE2eTest : public ClipboardE2eTest,
                              public ::testing::WithParamInterface<Fault> {};

TEST_P(ClipboardFaultE2eTest, IsSaidInAMessageAndTheProgramGoesOnWithWhatItShowed)
{
    const Fault &fault = GetParam();
    if (fault.memoryLimit)
        program.setMemoryLimit(fault.memoryLimit);
    take(fault.clip, fault.onReload);
    const std::string before = readFile(program.dataFile());

    const std::string box = program.waitForWindowTitled("Dovrante");
    ASSERT_FALSE(box.empty()) << "no message appeared";
    const std::string text = program.messageBoxText(box, clipboard);
    for (const std::string &part : fault.says)
        EXPECT_NE(text.find(part), std::string::npos) << "\"" << part << "\" missing in: " << text;
    program.pressKeysIn(box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return program.waitForWindowTitled("Dovrante", 0ms).empty(); }))
        << "a second message came";
    EXPECT_FALSE(program.waitForWindow().empty()) << "the window is gone";
    EXPECT_TRUE(program.running());
    EXPECT_EQ(readFile(program.dataFile()), before) << "something was recorded";
}

const Clip EndlessText{{}, {}, {{"endless", "UTF8_STRING"}}};
const Clip Mute{{}, {}, {{"mute"}}};
const std::vector<std::string> TextNotTaken{"The clipboard offers text", "Nothing was taken"};
const std::vector<std::string> NoAnswer{"The clipboard's owner did not answer",
                                        "Nothing was taken"};

// Parts that never end fill the memory they are allowed: what a failing program takes is bounded.
const Fault Faults[] = {
    {"TextInPartsThatNeverEnd", EndlessText, false, 4 * GiB, TextNotTaken},
    {"TextInPartsThatNeverEndOnReload", EndlessText, true, 4 * GiB, TextNotTaken},
    // Its decoder reads the parts as they come, on a thread of its own.
    {"PictureInPartsThatNeverEnd",
     {{}, {}, {{"endless", "image/png"}}},
     false,
     4 * GiB,
     {"The clipboard's picture (image/png) could not be fetched"}},
    {"TextThatTrickles",
     {{}, {}, {{"trickle", "UTF8_STRING"}}},
     false,
     0,
     {"did not hand it all over within 20 seconds"}},
    {"OwnerThatDoesNotSayWhatItHolds", Mute, false, 0, NoAnswer},
    {"OwnerThatDoesNotSayWhatItHoldsOnReload", Mute, true, 0, NoAnswer},
    {"TransferOfNearlyTwoGigabytesAnnouncedOnReload",
     {{}, {}, {{"announces", "2000000000"}}},
     true,
     2 * GiB,
     {"1907 MB", "larger than"}},
    {"OneLineOf100MegabytesUnderAMemoryLimit",
     {"UTF8_STRING", std::string(100 << 20, 'x'), {}},
     false,
     3 * GiB / 2,
     {"not enough memory", "Nothing was taken"}},
};

INSTANTIATE_TEST_SUITE_P(ClipboardFaults, ClipboardFaultE2eTest, ::testing::ValuesIn(Faults),
                         RowName);

// While F5 waits on an owner that takes its time, the window still answers Escape: the program
// ends before the owner's deadline has given any message, and nothing is recorded.
TEST_F(ClipboardE2eTest, EscapeWhileAClipTricklesInEndsTheProgramAtOnce)
{
    take({{}, {}, {{"trickle", "UTF8_STRING"}}}, true);
    const std::string before = readFile(program.dataFile());
    program.pressKeys({"Escape"});
    ASSERT_TRUE(waitUntil([&] {
        return !program.running() || !program.waitForWindowTitled("Dovrante", 0ms).empty();
    }));
    EXPECT_FALSE(program.running()) << "Escape waited for the clip's deadline";
    EXPECT_EQ(readFile(program.dataFile()), before);
}

struct Text {
    std::string name;
    Clip clip;
    std::string recorded; // as it stands in the data file
    friend void PrintTo(const Text &row, std::ostream *out) { *out << row.name; }
};

class ClipboardTextE2eTest : public ClipboardE2eTest, public ::testing::WithParamInterface<Text> {};

TEST_P(ClipboardTextE2eTest, IsShownAndRecordedAsMeantAtTheStartAndOnReload)
{
    const Text &row = GetParam();
    take(row.clip, false);
    ASSERT_FALSE(program.waitForWindow().empty()) << "no window appeared";
    const std::string entry = "---\r\n" + row.recorded + "\r\n---";
    const auto recorded = [&](std::size_t times) {
        return waitUntil([&] { return count(readFile(program.dataFile()), entry) == times; });
    };
    EXPECT_TRUE(recorded(1)) << "not recorded as it was meant at the start";
    program.pressKeys({"F5"});
    EXPECT_TRUE(recorded(2)) << "not recorded as it was meant on F5";
}

// 2 MB on one line, and 50,000 lines.
const std::string LongLine = std::string(2 << 20, 'a') + ".jpg";
std::string manyLines()
{
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text + "last.jpg";
}

const Text Texts[] = {
    {"Utf8WithByteOrderMark", {"UTF8_STRING", "\uFEFFmarked\uFEFF", {}}, "marked\uFEFF"},
    // A C string's ending NUL and the padding of text sent in 32-bit items are no characters.
    {"Utf8WithEndingNuls", {"UTF8_STRING", std::string("two\0\0", 5), {}}, "two"},
    {"Latin1String", {"STRING", "caf\xe9", {}}, "café"},
    {"MalformedUtf8MendedAsQtMendsIt", {"UTF8_STRING", "ab\377cd", {}}, "ab\uFFFDcd"},
    {"CarriageReturnsOnly", {"UTF8_STRING", "one\rtwo\r\rfour", {}}, "one\r\ntwo\r\n\r\nfour"},
    {"MixedLineBreaks", {"UTF8_STRING", "a\r\nb\nc\rd\n\re", {}}, "a\r\nb\r\nc\r\nd\r\n\r\ne"},
    {"PlainTextInUtf8",
     {"text/plain;charset=utf-8", "Grüße \xe4\xb8\x96", {}},
     "Grüße \xe4\xb8\x96"},
    {"CompoundText",
     {"COMPOUND_TEXT",
      "Plain Gr\xfc\xdf"
      "e",
      {}},
     "Plain Gr\xc3\xbc\xc3\x9f"
     "e"},
    {"Latin1Alone", {"text/plain;charset=iso-8859-1", "caf\xe9", {}}, "caf\xc3\xa9"},
    {"TextIn32BitItems", {{}, {}, {{"words32", "padded"}}}, "padded"},
    {"TextAmong300000Types", {{}, {}, {{"many", "300000", "among many"}}}, "among many"},
    {"OneLongLineEndingInDotJpg", {"UTF8_STRING", LongLine, {}}, LongLine},
    {"ManyLinesEndingInDotJpg", {"UTF8_STRING", manyLines(), {}}, manyLines()},
};

INSTANTIATE_TEST_SUITE_P(ClipboardTexts, ClipboardTextE2eTest, ::testing::ValuesIn(Texts), RowName);

// A very large picture opened is put on the clipboard by this copy and shown by the new copy that
// Open starts, under the moment's name.
using ClipboardOpenE2eTest = ClipboardE2eTest;

TEST_F(ClipboardOpenE2eTest, AVeryLargePictureOpenedIsShownByTheNewCopy)
{
    // 16384 x 16384 pixels of one colour: a gigabyte when decoded, little as a file.
    const QString path = QString::fromStdString(program.home() + "/large.png");
    {
        QImage large(16384, 16384, QImage::Format_RGB32);
        large.fill(Qt::darkCyan);
        QImageWriter writer(path, "PNG");
        writer.setQuality(80); // compressed quickly, to a few megabytes
        ASSERT_TRUE(writer.write(large));
    }
    startWith(painted(64, 48, Qt::yellow));
    program.pressKeys({"ctrl+o"});
    ASSERT_TRUE(program.answerDialog("Open Clip File", path.toStdString()));
    // This copy is named after the file: a window named after the moment is the new copy's.
    ASSERT_TRUE(waitUntil([&] { return program.title() == path.toStdString(); }));
    const std::string shown = waitForWindowNamed("^[0-9]{8} [0-9]{6}[.]jpg$");
    const std::string box = waitForWindowNamed("^Dovrante$", 0ms);
    EXPECT_FALSE(shown.empty()) << "the new copy shows no picture";
    EXPECT_TRUE(box.empty()) << "the new copy said: "
                             << (box.empty() ? "" : program.messageBoxText(box, clipboard));
    for (const std::string &window : {shown, box}) // the new copy ends
        if (!window.empty())
            ::kill(std::stoi(run({"xdotool", "getwindowpid", window}).output), SIGTERM);
}

} // namespace
} // namespace dovrante::e2e
