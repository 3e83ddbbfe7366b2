#include "services/x11_selection_reader.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <poll.h>
#include <sys/resource.h>
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

// The address space the running program takes without a clip: Qt, the window, the fonts and
// every thread's stack. At the start, while Qt is still being set up, less of it is in use.
constexpr std::uint64_t ProgramAddressSpace = 1ull << 30;

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply *reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

Fetched ended(FetchOutcome outcome)
{
    Fetched fetched;
    fetched.outcome = outcome;
    return fetched;
}

} // namespace

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

std::optional<Fetched> FetchBudget::refuses(std::uint64_t bytes) const
{
    if (bytes > MaxClipBytes)
        return Fetched{FetchOutcome::TooLarge, {}, bytes, memory};
    if (need(bytes) > memory)
        return Fetched{FetchOutcome::NoMemory, {}, need(bytes), memory};
    return std::nullopt;
}

void X11Disconnect::operator()(xcb_connection_t *connection) const
{
    xcb_disconnect(connection);
}

X11Connection connectToDisplay(const char *display)
{
    return X11Connection(xcb_connect(display, nullptr));
}

// The connection, its window and the atoms it names the clipboard's answers by.
class X11SelectionReader::Session final {
public:
    explicit Session(X11Connection connection) : m_connection(std::move(connection))
    {
        xcb_connection_t *c = m_connection.get();
        if (xcb_connection_has_error(c))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        if (!screen)
            return;
        m_window = xcb_generate_id(c);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        m_clipboard = atom("CLIPBOARD");
        m_property = atom("DOVRANTE_CLIPBOARD");
        m_incr = atom("INCR");
        m_ok = m_clipboard && m_property && m_incr;
    }

    bool ok() const { return m_ok; }

    xcb_atom_t atom(const std::string &name)
    {
        xcb_connection_t *c = m_connection.get();
        auto reply = owned(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.data()), nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // The names of the atoms, asked all at once.
    std::vector<std::string> names(const std::vector<xcb_atom_t> &atoms)
    {
        xcb_connection_t *c = m_connection.get();
        std::vector<xcb_get_atom_name_cookie_t> cookies;
        for (xcb_atom_t a : atoms)
            cookies.push_back(xcb_get_atom_name(c, a));
        std::vector<std::string> result;
        for (const auto &cookie : cookies) {
            auto reply = owned(xcb_get_atom_name_reply(c, cookie, nullptr));
            result.push_back(
                reply ? std::string(xcb_get_atom_name_name(reply.get()),
                                    static_cast<size_t>(xcb_get_atom_name_name_length(reply.get())))
                      : std::string());
        }
        return result;
    }

    Fetched fetch(xcb_atom_t target, const FetchBudget &budget,
                  const std::function<void(std::string_view)> &take)
    {
        const xcb_window_t asked = owner();
        if (asked == XCB_WINDOW_NONE)
            return ended(FetchOutcome::NoOwner);
        const auto deadline = Clock::now() + std::chrono::seconds(FetchDeadlineSeconds);
        xcb_connection_t *c = m_connection.get();
        xcb_delete_property(c, m_window, m_property);
        xcb_convert_selection(c, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
        xcb_flush(c);

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
    xcb_window_t owner()
    {
        xcb_connection_t *c = m_connection.get();
        auto reply = owned(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_clipboard), nullptr));
        return reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
    }

    // Reads and deletes the property, in pieces so that no one reply is huge; refuses it when,
    // after the `before` bytes already taken, it is more than may be taken.
    std::optional<Fetched> readProperty(std::string &data, xcb_atom_t &type,
                                        const FetchBudget &budget, std::uint64_t before)
    {
        constexpr uint32_t PieceWords = 1 << 20; // 4 MiB
        xcb_connection_t *c = m_connection.get();
        uint32_t offset = 0;
        for (;;) {
            auto reply = owned(xcb_get_property_reply(c,
                                                      xcb_get_property(c, 0, m_window, m_property,
                                                                       XCB_GET_PROPERTY_TYPE_ANY,
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
        xcb_delete_property(c, m_window, m_property);
        xcb_flush(c);
        return std::nullopt;
    }

    // Waits for the event `wanted` accepts: Whole when it came, NoAnswer when the owner took too
    // long or is gone, TooSlow when the whole fetch's deadline passed.
    template <typename Wanted>
    FetchOutcome waitFor(xcb_window_t owner, Clock::time_point deadline, Wanted wanted)
    {
        xcb_connection_t *c = m_connection.get();
        const auto answerBy = std::min(deadline, Clock::now() + OwnerTimeout);
        for (;;) {
            while (auto event = owned(xcb_poll_for_event(c))) {
                if (wanted(*event))
                    return FetchOutcome::Whole;
            }
            if (xcb_connection_has_error(c))
                return FetchOutcome::NoAnswer;
            if (Clock::now() >= answerBy)
                return answerBy == deadline ? FetchOutcome::TooSlow : FetchOutcome::NoAnswer;
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            if (::poll(&fd, 1, OwnerCheckMs) == 0 && this->owner() != owner)
                return FetchOutcome::NoAnswer;
        }
    }

    X11Connection m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    bool m_ok = false;
};

X11SelectionReader::X11SelectionReader(X11Connection connection)
    : m_session(std::make_unique<Session>(std::move(connection)))
{}

X11SelectionReader::~X11SelectionReader() = default;

bool X11SelectionReader::ok() const
{
    return m_session->ok();
}

X11SelectionReader::Targets X11SelectionReader::targets()
{
    // One atom a target; an owner may list atoms that name nothing.
    const Fetched list = fetch("TARGETS");
    Targets targets{list.outcome, {}};
    if (list.outcome != FetchOutcome::Whole)
        return targets;
    std::vector<xcb_atom_t> atoms(
        std::min(list.bytes.size() / sizeof(xcb_atom_t), MaxOfferedTypes));
    std::copy_n(list.bytes.data(), atoms.size() * sizeof(xcb_atom_t),
                reinterpret_cast<char *>(atoms.data()));
    atoms.erase(std::remove(atoms.begin(), atoms.end(), XCB_ATOM_NONE), atoms.end());
    targets.names = m_session->names(atoms);
    return targets;
}

Fetched X11SelectionReader::fetch(const std::string &target, const FetchBudget &budget)
{
    std::string all;
    Fetched fetched = fetch(target, budget, [&all](std::string_view part) { all += part; });
    if (fetched.outcome == FetchOutcome::Whole)
        fetched.bytes = std::move(all);
    return fetched;
}

Fetched X11SelectionReader::fetch(const std::string &target, const FetchBudget &budget,
                                  const std::function<void(std::string_view)> &take)
{
    return m_session->fetch(m_session->atom(target), budget, take);
}

} // namespace dovrante
