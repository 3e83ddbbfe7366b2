#pragma once

#include "services/clip_decoding.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct xcb_connection_t;

namespace dovrante {

// Bytes of memory the program may still take: within its address-space limit (ulimit -v) and
// within what the system has free.
std::uint64_t memoryLeft();

// What a fetch may take: the memory left for it, and what a clip of so many bytes needs of it.
struct FetchBudget {
    std::uint64_t memory = memoryLeft();
    std::uint64_t (*need)(std::uint64_t bytes) = [](std::uint64_t bytes) { return bytes; };

    // The outcome for a clip of that many bytes when it is more than may be taken.
    std::optional<Fetched> refuses(std::uint64_t bytes) const;
};

// A connection to an X display, made where it is wanted and used elsewhere.
struct X11Disconnect {
    void operator()(xcb_connection_t *connection) const;
};
using X11Connection = std::unique_ptr<xcb_connection_t, X11Disconnect>;
X11Connection connectToDisplay(const char *display);

// The X11 clipboard selection on a connection with a window of its own: what its owner offers
// and the bytes of one type, in parts when large (INCR), within the budget, FetchDeadlineSeconds
// for the whole and as long as Qt gives an owner to answer each request.
class X11SelectionReader final {
public:
    explicit X11SelectionReader(X11Connection connection);
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    // False when the display could not be reached or the window not made.
    bool ok() const;

    // The names of the targets the owner offers, in its order, the first few thousand of them;
    // with the outcome of asking for the list.
    struct Targets {
        FetchOutcome outcome = FetchOutcome::NoAnswer;
        std::vector<std::string> names;
    };
    Targets targets();

    // The clipboard converted to the target.
    Fetched fetch(const std::string &target, const FetchBudget &budget = {});
    // The same, handed to `take` part by part as the parts come; the bytes are not kept.
    Fetched fetch(const std::string &target, const FetchBudget &budget,
                  const std::function<void(std::string_view)> &take);

private:
    class Session;
    std::unique_ptr<Session> m_session;
};

} // namespace dovrante
