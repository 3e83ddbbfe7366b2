// A clipboard owner that offers text and never hands it over: asked for the text it either says
// nothing ("silent") or ends at once ("dies"), as a hung or crashed program would.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char *argv[])
{
    const bool dies = argc > 1 && std::string(argv[1]) == "dies";
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const auto atom = [c](const char *name) {
        const auto length = static_cast<uint16_t>(std::strlen(name));
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, length, name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return result;
    };
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t targets = atom("TARGETS");
    const xcb_atom_t offered[] = {targets, atom("UTF8_STRING"), atom("text/plain;charset=utf-8"),
                                  atom("text/plain")};
    xcb_set_selection_owner(c, window, atom("CLIPBOARD"), XCB_CURRENT_TIME);
    xcb_flush(c);

    // Only the list of targets is answered; it ends once another program owns the clipboard.
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const uint8_t type = event->response_type & 0x7f;
        const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
        if (type == XCB_SELECTION_CLEAR ||
            (dies && type == XCB_SELECTION_REQUEST && request->target != targets))
            std::_Exit(0);
        if (type == XCB_SELECTION_REQUEST && request->target == targets) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                XCB_ATOM_ATOM, 32, 4, offered);
            // Its type, padding, sequence number, time, requestor, selection, target, property.
            const xcb_selection_notify_event_t notify{XCB_SELECTION_NOTIFY,
                                                      0,
                                                      0,
                                                      request->time,
                                                      request->requestor,
                                                      request->selection,
                                                      request->target,
                                                      request->property};
            xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char *>(&notify));
            xcb_flush(c);
        }
        std::free(event);
    }
    return 0;
}
