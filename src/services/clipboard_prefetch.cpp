#include "services/clipboard_prefetch.h"

#include "platform/clipboard.h"
#include "services/byte_stream.h"
#include "services/clip_decoding.h"
#include "services/clipboard_formats.h"
#include "services/png_reader.h"
#include "services/qt_clipboard.h"
#include "services/qt_picture_files.h"

#include <QBuffer>
#include <QImageReader>

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <poll.h>
#include <string_view>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace dovrante {

namespace {

using Clock = std::chrono::steady_clock;

// As long as Qt's clipboard waits for an owner to answer one request (or one part of a large one).
constexpr auto OwnerTimeout = std::chrono::milliseconds(5000);
// How often the wait looks whether the owner is still there: one that has ended never answers.
constexpr int OwnerCheckMs = 100;
// How many offered types are looked at: owners offer a few dozen.
constexpr std::size_t MaxOfferedTypes = 4096;

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply *reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

struct Disconnect {
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

// The address space the running program takes without a clip: Qt, the window, the fonts and
// every thread's stack. At the start, while Qt is still being set up, less of it is in use.
constexpr std::uint64_t ProgramAddressSpace = 1ull << 30;

// Bytes of memory the program may still take: within its address-space limit (ulimit -v) and
// within what the system has free.
std::uint64_t memoryLeft()
{
    std::uint64_t left = std::numeric_limits<std::uint64_t>::max();
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        std::uint64_t pages = 0; // the address space in use comes first
        std::ifstream("/proc/self/statm") >> pages;
        const std::uint64_t used = std::max(
            ProgramAddressSpace, pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)));
        left = limit.rlim_cur > used ? limit.rlim_cur - used : 0;
    }
    std::ifstream meminfo("/proc/meminfo");
    std::uint64_t free = 0;
    bool known = false;
    for (std::string name, unit; meminfo >> name;) {
        std::uint64_t kilobytes = 0;
        meminfo >> kilobytes >> unit;
        if (name == "MemAvailable:" || name == "SwapFree:") {
            free += kilobytes << 10;
            known = true;
        }
    }
    return known ? std::min(left, free) : left;
}

Fetched ended(FetchOutcome outcome)
{
    Fetched fetched;
    fetched.outcome = outcome;
    return fetched;
}

// What a fetch may take: the memory left for it, and what a clip of so many bytes needs of it.
struct Budget {
    std::uint64_t memory = memoryLeft();
    std::uint64_t (*need)(std::uint64_t bytes) = [](std::uint64_t bytes) { return bytes; };

    // The outcome for a clip of that many bytes when it is more than may be taken.
    std::optional<Fetched> refuses(std::uint64_t bytes) const
    {
        if (bytes > MaxClipBytes)
            return Fetched{FetchOutcome::TooLarge, {}, bytes, memory};
        if (need(bytes) > memory)
            return Fetched{FetchOutcome::NoMemory, {}, need(bytes), memory};
        return std::nullopt;
    }
};

// One X connection with a window of its own that receives the clipboard's answers.
class SelectionReader final {
public:
    explicit SelectionReader(Connection connection) : m_connection(connection.release())
    {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        if (!screen)
            return;
        m_window = xcb_generate_id(m_connection);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        m_clipboard = atom("CLIPBOARD");
        m_property = atom("DOVRANTE_CLIPBOARD");
        m_incr = atom("INCR");
        m_ok = m_clipboard && m_property && m_incr;
    }
    ~SelectionReader() { xcb_disconnect(m_connection); }
    SelectionReader(const SelectionReader &) = delete;
    SelectionReader &operator=(const SelectionReader &) = delete;

    bool ok() const { return m_ok; }

    xcb_atom_t atom(const std::string &name)
    {
        auto reply = owned(xcb_intern_atom_reply(
            m_connection,
            xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(name.size()), name.data()),
            nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // The names of the atoms, asked all at once.
    std::vector<std::string> names(const std::vector<xcb_atom_t> &atoms)
    {
        std::vector<xcb_get_atom_name_cookie_t> cookies;
        for (xcb_atom_t a : atoms)
            cookies.push_back(xcb_get_atom_name(m_connection, a));
        std::vector<std::string> result;
        for (const auto &cookie : cookies) {
            auto reply = owned(xcb_get_atom_name_reply(m_connection, cookie, nullptr));
            result.push_back(
                reply ? std::string(xcb_get_atom_name_name(reply.get()),
                                    static_cast<size_t>(xcb_get_atom_name_name_length(reply.get())))
                      : std::string());
        }
        return result;
    }

    xcb_window_t owner()
    {
        auto reply = owned(xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_clipboard), nullptr));
        return reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
    }

    // The clipboard converted to the target, within the budget and the deadline.
    Fetched fetch(xcb_atom_t target, const Budget &budget = {})
    {
        std::string all;
        Fetched fetched = fetch(target, budget, [&all](std::string_view part) { all += part; });
        if (fetched.outcome == FetchOutcome::Whole)
            fetched.bytes = std::move(all);
        return fetched;
    }

    // The same, handed to `take` part by part as the parts come.
    Fetched fetch(xcb_atom_t target, const Budget &budget,
                  const std::function<void(std::string_view)> &take)
    {
        const xcb_window_t asked = owner();
        if (asked == XCB_WINDOW_NONE)
            return ended(FetchOutcome::NoOwner);
        const auto deadline = Clock::now() + std::chrono::seconds(FetchDeadlineSeconds);
        xcb_delete_property(m_connection, m_window, m_property);
        xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);

        bool refused = false;
        FetchOutcome came = waitFor(asked, deadline, [&](const xcb_generic_event_t &event) {
            if ((event.response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            const auto &notify = reinterpret_cast<const xcb_selection_notify_event_t &>(event);
            if (notify.requestor != m_window || notify.selection != m_clipboard)
                return false;
            refused = notify.property == XCB_ATOM_NONE;
            return true;
        });
        if (came != FetchOutcome::Whole)
            return ended(came);
        if (refused)
            return ended(FetchOutcome::Refused);

        xcb_atom_t type = XCB_ATOM_NONE;
        std::string data;
        if (auto refusal = readProperty(data, type, budget, 0))
            return *refusal;
        if (type != m_incr) {
            take(data);
            return ended(FetchOutcome::Whole);
        }
        // A large clip comes in parts, announced with its least size: more than may be taken is
        // not taken at all.
        std::uint32_t announced = 0;
        std::memcpy(&announced, data.data(), std::min(data.size(), sizeof announced));
        if (auto refusal = budget.refuses(announced))
            return *refusal;

        // Each part is announced by a new value of the property, and taking it (deleting the
        // property) asks for the next; an empty part ends it.
        std::uint64_t taken = 0;
        for (;;) {
            came = waitFor(asked, deadline, [&](const xcb_generic_event_t &event) {
                if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto &change = reinterpret_cast<const xcb_property_notify_event_t &>(event);
                return change.window == m_window && change.atom == m_property &&
                       change.state == XCB_PROPERTY_NEW_VALUE;
            });
            if (came != FetchOutcome::Whole)
                return ended(came);
            std::string part;
            if (auto refusal = readProperty(part, type, budget, taken))
                return *refusal;
            if (part.empty())
                return ended(FetchOutcome::Whole);
            taken += part.size();
            take(part);
        }
    }

private:
    // Reads and deletes the property, in pieces so that no one reply is huge; refuses it when,
    // after the `before` bytes already taken, it is more than may be taken.
    std::optional<Fetched> readProperty(std::string &data, xcb_atom_t &type, const Budget &budget,
                                        std::uint64_t before)
    {
        constexpr uint32_t PieceWords = 1 << 20; // 4 MiB
        uint32_t offset = 0;
        for (;;) {
            auto reply = owned(xcb_get_property_reply(
                m_connection,
                xcb_get_property(m_connection, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY,
                                 offset, PieceWords),
                nullptr));
            if (!reply)
                return ended(FetchOutcome::NoAnswer);
            type = reply->type;
            const int length = xcb_get_property_value_length(reply.get());
            if (auto refusal = budget.refuses(before + data.size() + static_cast<size_t>(length) +
                                              reply->bytes_after))
                return refusal;
            data.append(static_cast<const char *>(xcb_get_property_value(reply.get())),
                        static_cast<size_t>(length));
            offset += static_cast<uint32_t>(length) / 4;
            if (reply->bytes_after == 0)
                break;
        }
        xcb_delete_property(m_connection, m_window, m_property);
        xcb_flush(m_connection);
        return std::nullopt;
    }

    // Waits for the event `wanted` accepts: Whole when it came, NoAnswer when the owner took too
    // long or is gone, TooSlow when the whole fetch's deadline passed.
    template <typename Wanted>
    FetchOutcome waitFor(xcb_window_t owner, Clock::time_point deadline, Wanted wanted)
    {
        const auto answerBy = std::min(deadline, Clock::now() + OwnerTimeout);
        for (;;) {
            while (auto event = owned(xcb_poll_for_event(m_connection))) {
                if (wanted(*event))
                    return FetchOutcome::Whole;
            }
            if (xcb_connection_has_error(m_connection))
                return FetchOutcome::NoAnswer;
            if (Clock::now() >= answerBy)
                return answerBy == deadline ? FetchOutcome::TooSlow : FetchOutcome::NoAnswer;
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            if (::poll(&fd, 1, OwnerCheckMs) == 0 && this->owner() != owner)
                return FetchOutcome::NoAnswer;
        }
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    bool m_ok = false;
};

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

// What Qt's reader would have added to the picture, once the application can say it.
QImage finish(PlainPng png)
{
    const QImage standard(1, 1, QImage::Format_RGB32);
    png.image.setDotsPerMeterX(png.dotsPerMeterX ? png.dotsPerMeterX : standard.dotsPerMeterX());
    png.image.setDotsPerMeterY(png.dotsPerMeterY ? png.dotsPerMeterY : standard.dotsPerMeterY());
    return std::move(png.image);
}

// A PNG fetched with its decoder reading the parts as they come, on a thread of its own. The
// decoder is told that no more will come and waited for however the fetch ends, running out of
// memory included.
Fetched fetchDecoding(SelectionReader &reader, xcb_atom_t target, std::optional<PlainPng> &png)
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
        fetched =
            reader.fetch(target, Budget{}, [&](std::string_view part) { stream.append(part); });
    }
    // Only once the decoder has read all it will are the bytes handed on.
    if (fetched.outcome == FetchOutcome::Whole)
        fetched.bytes = stream.takeAll();
    return fetched;
}

std::optional<ClipboardSnapshot> snapshotOf(SelectionReader &reader,
                                            const std::shared_future<void> &applicationReady)
{
    ClipboardSnapshot snapshot;

    // What is offered: the owner's list of targets, one atom each, of which the first few
    // thousand are looked at.
    std::vector<std::string> targets;
    const Fetched list = reader.fetch(reader.atom("TARGETS"));
    if (list.outcome == FetchOutcome::Whole) {
        std::vector<xcb_atom_t> atoms(
            std::min(list.bytes.size() / sizeof(xcb_atom_t), MaxOfferedTypes));
        std::copy_n(list.bytes.data(), atoms.size() * sizeof(xcb_atom_t),
                    reinterpret_cast<char *>(atoms.data()));
        atoms.erase(std::remove(atoms.begin(), atoms.end(), XCB_ATOM_NONE), atoms.end());
        targets = reader.names(atoms);
    } else if (list.outcome != FetchOutcome::NoOwner && list.outcome != FetchOutcome::Refused) {
        snapshot.unanswered = true;
        return snapshot;
    }
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
        early = fetchDecoding(reader, reader.atom(targetOfType.at(earlyType)), earlyPng);
        if (early->outcome != FetchOutcome::Whole)
            earlyPng.reset(); // what did not come whole is not shown, as before
    }

    // Finding the decodable types loads every image plugin (some milliseconds): only done when a
    // picture of a type that Qt does not read by itself may be there.
    if (mayHoldPicture(snapshot.offered)) {
        applicationReady.wait();
        snapshot.decodable =
            needsImagePlugins(snapshot.offered) ? decodableImageTypes() : builtInImageTypes();
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
            Budget budget;
            budget.need = memoryForText;
            snapshot.text =
                clipText(inOrder.front(), reader.fetch(reader.atom(inOrder.front()), budget));
        }
    } else if (holds(ClipFormat::Bitmap)) {
        const std::string type = bestPictureType(snapshot.offered, snapshot.decodable);
        const auto target = targetOfType.find(type);
        // A picture offered as an X pixmap is left to Qt, which knows how to take one.
        if (earlyPng && type == earlyType) {
            snapshot.picture = finish(std::move(*earlyPng));
        } else if (target != targetOfType.end() && target->second != "PIXMAP") {
            // Asked for once only: an owner that did not answer is not waited for twice.
            snapshot.picture = clipPicture(type, early && type == earlyType
                                                     ? std::move(*early)
                                                     : reader.fetch(reader.atom(target->second)));
        }
    }
    return snapshot;
}

std::optional<ClipboardSnapshot> takeSnapshot(Connection connection,
                                              const std::shared_future<void> &applicationReady)
{
    SelectionReader reader(std::move(connection));
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

std::vector<std::string> decodableImageTypes()
{
    std::vector<std::string> types;
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        types.push_back(type.toStdString());
    return types;
}

bool mayHoldPicture(const std::vector<std::string> &offered)
{
    return std::any_of(offered.begin(), offered.end(), [](const std::string &type) {
        return type.size() > 6 && std::equal(type.begin(), type.begin() + 6, "image/",
                                             [](char a, char b) { return std::tolower(a) == b; });
    });
}

// The connection is made here, not on the thread: making one reads the name of the X authority
// file into a buffer of libXau's that two connections made at once (this one and Qt's) may both
// free and fill, and then one of them can find no cookie and be refused.
ClipboardPrefetch::ClipboardPrefetch(const char *display)
    : m_snapshot(std::async(std::launch::async, takeSnapshot,
                            Connection(xcb_connect(display, nullptr)),
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
