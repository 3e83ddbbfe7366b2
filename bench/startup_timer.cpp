// Starts a program several times and prints, as medians, the time from its start to the mapping
// of its first window and its peak memory then. The X server reports the mapping, so nothing is
// polled and nothing in the program is instrumented.
//
//   startup_timer RUNS PROGRAM [ARGS...]

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The process's peak resident memory in MiB.
double peakMemory(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<double> times;
    std::vector<double> memories;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execv(argv[2], argv + 2);
            _exit(127);
        }
        bool mapped = false;
        while (!mapped) {
            xcb_generic_event_t *event = xcb_wait_for_event(connection);
            if (!event)
                break;
            mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
        }
        const auto shown = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(shown - start).count());
        // Let the first frame be painted before the memory is read.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        memories.push_back(peakMemory(pid));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        // Drop the events of the window going away.
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            std::free(event);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            std::free(event);
    }
    std::printf("shown after %.1f ms (median of %d), peak memory %.1f MiB\n", median(times), runs,
                median(memories));
    xcb_disconnect(connection);
    return 0;
}
