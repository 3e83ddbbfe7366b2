#include "platform/qt/clipboard_prefetch.h"

#include "platform/clipboard.h"
#include "platform/qt/byte_stream.h"
#include "platform/qt/clipboard_formats.h"
#include "platform/qt/png_reader.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_picture.h"

#include <QBuffer>
#include <QImageReader>

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <poll.h>
#include <string_view>
#include <thread>

namespace dovrante {

namespace {

using Clock = std::chrono::steady_clock;

// As long as Qt's clipboard waits for an owner to answer one request (or one part of a large one).
constexpr auto OwnerTimeout = std::chrono::milliseconds(5000);
// How often the wait looks whether the owner is still there: one that has ended never answers.
constexpr int OwnerCheckMs = 100;

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

    // The clipboard converted to the target; nothing when there is no owner, it refuses, ends
    // or does not answer in time.
    std::optional<std::string> fetch(xcb_atom_t target)
    {
        std::string all;
        if (!fetch(target, [&all](std::string_view part) { all += part; }))
            return std::nullopt;
        return all;
    }

    // The same, handed to `take` part by part as the parts come; false when it did not come whole.
    bool fetch(xcb_atom_t target, const std::function<void(std::string_view)> &take)
    {
        const xcb_window_t asked = owner();
        if (asked == XCB_WINDOW_NONE)
            return false;
        xcb_delete_property(m_connection, m_window, m_property);
        xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_connection);

        bool refused = false;
        auto notified = waitFor(asked, [&](const xcb_generic_event_t &event) {
            if ((event.response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            const auto &notify = reinterpret_cast<const xcb_selection_notify_event_t &>(event);
            if (notify.requestor != m_window || notify.selection != m_clipboard)
                return false;
            refused = notify.property == XCB_ATOM_NONE;
            return true;
        });
        if (!notified || refused)
            return false;

        xcb_atom_t type = XCB_ATOM_NONE;
        std::string data;
        if (!readProperty(data, type))
            return false;
        if (type != m_incr) {
            take(data);
            return true;
        }

        // A large clip comes in parts: each is announced by a new value of the property, and
        // taking it (deleting the property) asks for the next; an empty part ends it.
        for (;;) {
            const bool more = waitFor(asked, [&](const xcb_generic_event_t &event) {
                if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto &change = reinterpret_cast<const xcb_property_notify_event_t &>(event);
                return change.window == m_window && change.atom == m_property &&
                       change.state == XCB_PROPERTY_NEW_VALUE;
            });
            std::string part;
            if (!more || !readProperty(part, type))
                return false;
            if (part.empty())
                return true;
            take(part);
        }
    }

private:
    // Reads and deletes the property, in pieces so that no one reply is huge.
    bool readProperty(std::string &data, xcb_atom_t &type)
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
                return false;
            type = reply->type;
            const int length = xcb_get_property_value_length(reply.get());
            data.append(static_cast<const char *>(xcb_get_property_value(reply.get())),
                        static_cast<size_t>(length));
            offset += static_cast<uint32_t>(length) / 4;
            if (reply->bytes_after == 0)
                break;
        }
        xcb_delete_property(m_connection, m_window, m_property);
        xcb_flush(m_connection);
        return true;
    }

    // Waits for the event `wanted` accepts, giving up when the time is out or the owner is gone.
    template <typename Wanted>
    bool waitFor(xcb_window_t owner, Wanted wanted)
    {
        const auto deadline = Clock::now() + OwnerTimeout;
        for (;;) {
            while (auto event = owned(xcb_poll_for_event(m_connection))) {
                if (wanted(*event))
                    return true;
            }
            if (xcb_connection_has_error(m_connection) || Clock::now() >= deadline)
                return false;
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            if (::poll(&fd, 1, OwnerCheckMs) == 0 && this->owner() != owner)
                return false;
        }
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    bool m_ok = false;
};

bool isLatin1Target(const std::string &target)
{
    return target == "STRING" || target == "TEXT";
}

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

// The text Qt's clipboard gives for these bytes of the target, or that none came; bytes that
// Qt's conversion would leave as they are are kept, not converted.
Result<std::string> textAsQtGivesIt(const std::string &target, std::string bytes)
{
    // Qt drops the one NUL that ends a text of the X string types, as owners that hand over a C
    // string send one.
    if (bytes.ends_with('\0') && target != "text/plain;charset=utf-8")
        bytes.pop_back();
    // Qt's decoder drops a leading byte order mark, which is well-formed.
    if (isLatin1Target(target) || !isWellFormedUtf8(bytes) || bytes.starts_with("\xEF\xBB\xBF")) {
        const auto size = static_cast<qsizetype>(bytes.size());
        bytes = (isLatin1Target(target) ? QString::fromLatin1(bytes.data(), size)
                                        : QString::fromUtf8(bytes.data(), size))
                    .toStdString();
    }
    // Nothing, or a byte order mark alone, is no text.
    if (bytes.empty())
        return Failure{clipboardTextNeverCame()};
    return bytes;
}

std::optional<ClipboardSnapshot> takeSnapshot(Connection connection,
                                              const std::shared_future<void> &applicationReady)
{
    SelectionReader reader(std::move(connection));
    if (!reader.ok())
        return std::nullopt;

    ClipboardSnapshot snapshot;

    // What is offered: the owner's list of targets, one atom each.
    std::vector<std::string> targets;
    if (const auto list = reader.fetch(reader.atom("TARGETS"))) {
        std::vector<xcb_atom_t> atoms(list->size() / sizeof(xcb_atom_t));
        std::copy_n(list->data(), atoms.size() * sizeof(xcb_atom_t),
                    reinterpret_cast<char *>(atoms.data()));
        atoms.erase(std::remove(atoms.begin(), atoms.end(), XCB_ATOM_NONE), atoms.end());
        targets = reader.names(atoms);
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
    bool fetchedEarly = false;
    std::optional<std::string> early;
    std::optional<PlainPng> earlyPng;
    const std::string earlyType = bestPictureType(snapshot.offered, {});
    if (mayHoldPicture(snapshot.offered) &&
        !holdsText(clipboardFormatNumbers(snapshot.offered, {})) && isPngType(earlyType)) {
        ByteStream stream;
        std::thread decoder([&] {
            earlyPng = readPlainPng(
                [&](unsigned char *out, std::size_t length) { return stream.read(out, length); },
                QImageReader::allocationLimit());
        });
        const bool whole = reader.fetch(reader.atom(targetOfType.at(earlyType)),
                                        [&](std::string_view part) { stream.append(part); });
        stream.end();
        decoder.join();
        fetchedEarly = true;
        if (whole)
            early = stream.takeAll();
        else
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
        for (const std::string &target : textTargetsInOrder(targets)) {
            std::optional<std::string> bytes = reader.fetch(reader.atom(target));
            snapshot.text = bytes ? textAsQtGivesIt(target, std::move(*bytes))
                                  : Failure{clipboardTextNeverCame()};
            break; // one type asked for, as Qt asks for one
        }
    } else if (holds(ClipFormat::Bitmap)) {
        const std::string type = bestPictureType(snapshot.offered, snapshot.decodable);
        const auto target = targetOfType.find(type);
        // A picture offered as an X pixmap is left to Qt, which knows how to take one.
        if (earlyPng && type == earlyType) {
            snapshot.picture = finish(std::move(*earlyPng));
        } else if (target != targetOfType.end() && target->second != "PIXMAP") {
            // Asked for once only: an owner that did not answer is not waited for twice.
            const auto bytes = fetchedEarly && type == earlyType
                                   ? std::move(early)
                                   : reader.fetch(reader.atom(target->second));
            if (!bytes || bytes->empty()) {
                snapshot.picture =
                    Failure{"The clipboard's picture (" + type + ") could not be fetched."};
            } else {
                QByteArray data =
                    QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
                QBuffer buffer(&data);
                QImageReader imageReader(&buffer);
                // The size on screen is given when the picture is handed over.
                const Result<PicturePtr> picture =
                    decodePicture(imageReader, 96.0, "The clipboard's picture (" + type + ")");
                if (picture.ok())
                    snapshot.picture = *imageOf(picture.value().get());
                else
                    snapshot.picture = Failure{picture.error()};
            }
        }
    }
    return snapshot;
}

} // namespace

bool isWellFormedUtf8(const std::string &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        int more = 0;
        unsigned int code = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, code = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, code = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, code = c & 0x07u;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3Fu);
        }
        static constexpr unsigned int Least[] = {0, 0x80, 0x800, 0x10000};
        if (code < Least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

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

std::vector<std::string> textTargetsInOrder(const std::vector<std::string> &targets)
{
    std::vector<std::string> ordered;
    for (const char *wanted :
         {"text/plain;charset=utf-8", "UTF8_STRING", "STRING", "TEXT", "text/plain"}) {
        if (std::find(targets.begin(), targets.end(), wanted) != targets.end())
            ordered.emplace_back(wanted);
    }
    return ordered;
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

std::optional<ClipboardSnapshot> ClipboardPrefetch::take()
{
    applicationReady();
    if (m_taken || !m_snapshot.valid())
        return std::nullopt;
    m_taken = true;
    return m_snapshot.get();
}

} // namespace dovrante
