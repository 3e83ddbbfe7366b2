// A clipboard owner that behaves as a hung, crashed, slow or odd program would, chosen by its
// first argument:
//   silent             offers text and answers only the list of its types
//   dies               offers text and ends when asked for it
//   mute               answers nothing at all, not even the list of its types
//   endless TYPE       hands TYPE over in parts that never end (a PNG's start, then its pixels)
//   trickle TYPE       hands TYPE over 100 bytes every 4 seconds, in 11 parts
//   announces BYTES    offers text and announces a transfer of that many bytes that never comes
//   words32 TEXT       hands the text over as UTF8_STRING in 32-bit items, padded with NULs
//   many COUNT TEXT    offers the text first, then COUNT types of no use
// It says "owner" once it holds the clipboard, and ends once another program owns it.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

xcb_connection_t *c = nullptr;

xcb_atom_t atom(const std::string &name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.data()), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

// Many atoms interned at once: their requests go out before the first answer is read.
std::vector<xcb_atom_t> atoms(int count)
{
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (int i = 0; i < count; ++i) {
        const std::string name = "dovrante-test-type-" + std::to_string(i);
        cookies.push_back(xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.data()));
    }
    std::vector<xcb_atom_t> result;
    for (const auto &cookie : cookies) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
        result.push_back(reply ? reply->atom : XCB_NONE);
        std::free(reply);
    }
    return result;
}

uint32_t crc(const std::string &bytes)
{
    uint32_t sum = 0xffffffffu;
    for (const unsigned char byte : bytes) {
        sum ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            sum = (sum >> 1) ^ (0xedb88320u & (0u - (sum & 1u)));
    }
    return ~sum;
}

std::string bigEndian(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// A PNG of 8192 x 8192 grey pixels up to its image data, whose length is announced as the largest
// a chunk may have; the deflate stream of that data has begun.
std::string pngStart()
{
    const std::string header =
        "IHDR" + bigEndian(8192) + bigEndian(8192) + std::string("\x08\x00\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13) + header + bigEndian(crc(header)) +
           bigEndian(0x7fffffffu) + "IDAT" + std::string("\x78\x01", 2);
}

// One stored deflate block of zeros: rows with no filter, of black pixels.
std::string zeros()
{
    return std::string("\x00\xff\xff\x00\x00", 5) + std::string(65535, '\0');
}

void notify(const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    // Its type, padding, sequence number, time, requestor, selection, target, property.
    const xcb_selection_notify_event_t notify{
        XCB_SELECTION_NOTIFY, 0,       0, request.time, request.requestor, request.selection,
        request.target,       property};
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&notify));
    xcb_flush(c);
}

void put(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint8_t format,
         const std::string &bytes)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, format,
                        static_cast<uint32_t>(bytes.size() / (format / 8)), bytes.data());
    xcb_flush(c);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "silent";
    const std::string argument = argc > 2 ? argv[2] : "";
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t targets = atom("TARGETS"), incr = atom("INCR"), utf8 = atom("UTF8_STRING");
    const bool handsOverInParts = mode == "endless" || mode == "trickle";
    const xcb_atom_t type = handsOverInParts ? atom(argument) : utf8;
    std::vector<xcb_atom_t> offered{targets, type};
    if (mode == "silent" || mode == "dies")
        offered.insert(offered.end(), {atom("text/plain;charset=utf-8"), atom("text/plain")});
    if (mode == "many") {
        const std::vector<xcb_atom_t> more = atoms(std::atoi(argument.c_str()));
        offered.insert(offered.end(), more.begin(), more.end());
    }
    const xcb_atom_t clipboard = atom("CLIPBOARD");
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    // Says that it holds the clipboard: one that answers nothing cannot be asked.
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    if (!owner || owner->owner != window)
        return 1;
    std::free(owner);
    std::puts("owner");
    std::fflush(stdout);

    // The transfer in parts under way: where it goes, and how many parts have gone.
    xcb_window_t requestor = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    int parts = 0;
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const uint8_t kind = event->response_type & 0x7f;
        if (kind == XCB_SELECTION_CLEAR)
            std::_Exit(0);
        if (kind == XCB_PROPERTY_NOTIFY) {
            const auto &change = *reinterpret_cast<xcb_property_notify_event_t *>(event);
            // The last part was taken: the next follows.
            if (change.window == requestor && change.atom == property &&
                change.state == XCB_PROPERTY_DELETE) {
                ++parts;
                if (mode == "trickle") {
                    std::this_thread::sleep_for(std::chrono::seconds(4));
                    put(requestor, property, type, 8, parts > 11 ? "" : std::string(100, 'x'));
                } else if (argument.starts_with("image/")) {
                    put(requestor, property, type, 8, parts == 1 ? pngStart() : zeros());
                } else {
                    put(requestor, property, type, 8, std::string(65536, 'x'));
                }
            }
        }
        if (kind == XCB_SELECTION_REQUEST && mode != "mute") {
            const auto &request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            if (request.target == targets) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                    XCB_ATOM_ATOM, 32, static_cast<uint32_t>(offered.size()),
                                    offered.data());
                notify(request, request.property);
            } else if (mode == "dies") {
                std::_Exit(0);
            } else if (handsOverInParts || mode == "announces") {
                // The requestor's changes to its property tell when to send the next part.
                const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
                const uint32_t size =
                    mode == "announces" ? static_cast<uint32_t>(std::stoul(argument)) : 1000000u;
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                                    incr, 32, 1, &size);
                notify(request, request.property);
                requestor = mode == "announces" ? XCB_NONE : request.requestor;
                property = request.property;
                parts = 0;
            } else if (mode == "words32" || mode == "many") {
                const std::string text = mode == "many" ? (argc > 3 ? argv[3] : "") : argument;
                std::string padded = text;
                const uint8_t format = mode == "words32" ? 32 : 8;
                if (format == 32)
                    padded.resize((text.size() + 3) / 4 * 4, '\0');
                put(request.requestor, request.property, utf8, format, padded);
                notify(request, request.property);
            }
        }
        std::free(event);
    }
    return 0;
}
