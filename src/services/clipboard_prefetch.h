#pragma once

#include "platform/types.h"

#include <QImage>

#include <future>
#include <optional>
#include <string>
#include <vector>

namespace dovrante {

// What the X11 clipboard held as the program started: what was offered and the one clip the
// capture will want (the text, or else the picture), fetched and decoded.
struct ClipboardSnapshot {
    // The types offered, named as Qt names them ("text/plain" for the X11 string targets).
    std::vector<std::string> offered;
    // The image types the picture loader decodes, found only when a picture is offered: all of
    // them, or Qt's own alone when every offered picture type is one of those.
    std::vector<std::string> decodable;
    // Set when text was offered.
    std::optional<Result<std::string>> text;
    // Set when no text but a decodable picture was offered.
    std::optional<Result<QImage>> picture;
    // Set when a list of locations (text/uri-list) was offered.
    std::optional<std::string> uriList;
    // Set when the owner did not say what it offers, and nothing else was asked.
    bool unanswered = false;
    // Set when memory ran out on the way, and nothing was taken.
    bool outOfMemory = false;
};

// Takes the clipboard on an X connection and a thread of its own, so that the clip is fetched
// and decoded while the application and its window are being built, or, on F5, while the window
// goes on being painted and answering Escape. It asks for what the capture will read, by the
// capture's rules of which type comes first, and decodes it by the rules of clip_decoding.h.
class ClipboardPrefetch final {
public:
    // Starts at once; `display` is the X display name (DISPLAY).
    explicit ClipboardPrefetch(const char *display);
    ~ClipboardPrefetch();
    ClipboardPrefetch(const ClipboardPrefetch &) = delete;
    ClipboardPrefetch &operator=(const ClipboardPrefetch &) = delete;

    // Says that the application is set up. Only then does the thread wake Qt's image plugins,
    // whose loader the application's own set-up prepares: the clip is fetched meanwhile.
    void applicationReady();

    // Whether the snapshot is in: take() then waits no more.
    bool isReady() const;

    // Waits for the snapshot and hands it over, once; nothing when the display could not be
    // reached this way, in which case the caller asks the clipboard itself.
    std::optional<ClipboardSnapshot> take();

private:
    std::promise<void> m_ready;
    bool m_readySaid = false;
    std::future<std::optional<ClipboardSnapshot>> m_snapshot;
    bool m_taken = false;
};

} // namespace dovrante
