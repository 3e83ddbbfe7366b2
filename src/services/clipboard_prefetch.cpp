#include "services/clipboard_prefetch.h"

#include "platform/clipboard.h"
#include "services/byte_stream.h"
#include "services/clip_decoding.h"
#include "services/clipboard_formats.h"
#include "services/png_reader.h"
#include "services/x11_selection_reader.h"

#include <QImageReader>

#include <algorithm>
#include <chrono>
#include <map>
#include <new>
#include <string_view>
#include <thread>

namespace dovrante {

namespace {

// What Qt calls an X11 selection target ("UTF8_STRING" is "text/plain"), so that the list of
// offered types is the one Qt's clipboard reports.
std::string qtTypeForTarget(const std::string &target)
{
    if (target == "STRING" || target == "UTF8_STRING" || target == "TEXT")
        return "text/plain";
    if (target == "PIXMAP")
        return "image/ppm";
    return target;
}

bool holdsText(const std::vector<int> &formats)
{
    return std::find(formats.begin(), formats.end(), ClipFormat::Text) != formats.end();
}

// A PNG fetched with its decoder reading the parts as they come, on a thread of its own. The
// decoder is told that no more will come and waited for however the fetch ends, running out of
// memory included.
Fetched fetchDecoding(X11SelectionReader &reader, const std::string &target,
                      std::optional<PlainPng> &png)
{
    ByteStream stream;
    std::thread decoder([&] {
        try {
            png = readPlainPng(
                [&](unsigned char *out, std::size_t length) { return stream.read(out, length); },
                QImageReader::allocationLimit());
        } catch (const std::bad_alloc &) {
            png.reset(); // left to Qt's reader, which says what is wrong
        }
    });
    struct Joined {
        ByteStream &stream;
        std::thread &decoder;
        ~Joined()
        {
            stream.end();
            decoder.join();
        }
    };
    Fetched fetched;
    {
        const Joined joined{stream, decoder};
        fetched = reader.fetch(target, FetchBudget{},
                               [&](std::string_view part) { stream.append(part); });
    }
    // Only once the decoder has read all it will are the bytes handed on.
    if (fetched.outcome == FetchOutcome::Whole)
        fetched.bytes = stream.takeAll();
    return fetched;
}

std::optional<ClipboardSnapshot> snapshotOf(X11SelectionReader &reader,
                                            const std::shared_future<void> &applicationReady)
{
    ClipboardSnapshot snapshot;

    // What is offered. Nobody holding the clipboard, or an owner that lists nothing, offers
    // nothing; one that does not answer is said.
    const X11SelectionReader::Targets list = reader.targets();
    if (list.outcome != FetchOutcome::Whole && list.outcome != FetchOutcome::NoOwner &&
        list.outcome != FetchOutcome::Refused) {
        snapshot.unanswered = true;
        return snapshot;
    }
    const std::vector<std::string> &targets = list.names;
    std::map<std::string, std::string> targetOfType;
    for (const std::string &target : targets) {
        const std::string type = qtTypeForTarget(target);
        if (type.empty() || targetOfType.count(type))
            continue;
        targetOfType[type] = target;
        snapshot.offered.push_back(type);
    }

    // A PNG, as screenshots come, is fetched and decoded by libpng at once, while Qt is still
    // being set up, and a large one is decoded on a thread of its own as its parts come in. The
    // owner is asked what the capture asks: only when no text is offered, as text comes first,
    // and a PNG is the picture type taken whenever one is offered.
    std::optional<Fetched> early;
    std::optional<PlainPng> earlyPng;
    const std::string earlyType = bestPictureType(snapshot.offered, {});
    if (mayHoldPicture(snapshot.offered) &&
        !holdsText(clipboardFormatNumbers(snapshot.offered, {})) && isPngType(earlyType)) {
        early = fetchDecoding(reader, targetOfType.at(earlyType), earlyPng);
        if (early->outcome != FetchOutcome::Whole)
            earlyPng.reset(); // what did not come whole is not shown, as before
    }

    // Finding the decodable types loads every image plugin (some milliseconds): only done when a
    // picture of a type that Qt does not read by itself may be there.
    if (mayHoldPicture(snapshot.offered)) {
        applicationReady.wait();
        snapshot.decodable = decodableImageTypes(snapshot.offered);
    }
    const std::vector<int> formats = clipboardFormatNumbers(snapshot.offered, snapshot.decodable);
    const auto holds = [&formats](int format) {
        return std::find(formats.begin(), formats.end(), format) != formats.end();
    };
    if (holds(ClipFormat::Text)) {
        // One type asked for, as Qt asks for one; the text is checked against the memory it
        // will need before it is taken.
        const std::vector<std::string> inOrder = textTargetsInOrder(targets);
        if (!inOrder.empty()) {
            FetchBudget budget;
            budget.need = memoryForText;
            snapshot.text = clipText(inOrder.front(), reader.fetch(inOrder.front(), budget));
        }
    } else if (holds(ClipFormat::Bitmap)) {
        const std::string type = bestPictureType(snapshot.offered, snapshot.decodable);
        const auto target = targetOfType.find(type);
        // A picture offered as an X pixmap is left to Qt, which knows how to take one.
        if (earlyPng && type == earlyType) {
            snapshot.picture = clipPicture(std::move(*earlyPng));
        } else if (target != targetOfType.end() && target->second != "PIXMAP") {
            // Asked for once only: an owner that did not answer is not waited for twice.
            snapshot.picture =
                clipPicture(type, early && type == earlyType ? std::move(*early)
                                                             : reader.fetch(target->second));
        }
    }
    // A file manager's copy, which the capture reads whenever the text names no JPEG file.
    if (targetOfType.count(UriListType))
        snapshot.uriList = clipUriList(reader.fetch(targetOfType.at(UriListType)));
    return snapshot;
}

std::optional<ClipboardSnapshot> takeSnapshot(X11Connection connection,
                                              const std::shared_future<void> &applicationReady)
{
    X11SelectionReader reader(std::move(connection));
    if (!reader.ok())
        return std::nullopt;
    try {
        return snapshotOf(reader, applicationReady);
    } catch (const std::bad_alloc &) {
        ClipboardSnapshot snapshot;
        snapshot.outOfMemory = true;
        return snapshot;
    }
}

} // namespace

// The connection is made here, not on the thread: making one reads the name of the X authority
// file into a buffer of libXau's that two connections made at once (this one and Qt's) may both
// free and fill, and then one of them can find no cookie and be refused.
ClipboardPrefetch::ClipboardPrefetch(const char *display)
    : m_snapshot(std::async(std::launch::async, takeSnapshot, connectToDisplay(display),
                            m_ready.get_future().share()))
{}

ClipboardPrefetch::~ClipboardPrefetch()
{
    applicationReady();
    if (m_snapshot.valid())
        m_snapshot.wait();
}

void ClipboardPrefetch::applicationReady()
{
    if (!m_readySaid)
        m_ready.set_value();
    m_readySaid = true;
}

bool ClipboardPrefetch::isReady() const
{
    return !m_snapshot.valid() ||
           m_snapshot.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::optional<ClipboardSnapshot> ClipboardPrefetch::take()
{
    applicationReady();
    if (m_taken || !m_snapshot.valid())
        return std::nullopt;
    m_taken = true;
    return m_snapshot.get();
}

} // namespace dovrante
