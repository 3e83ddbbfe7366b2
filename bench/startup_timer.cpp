// Starts a program several times and prints, as medians, the time from its start to the mapping
// of its first window, the time until it has settled (its last use of the processor before a
// quarter of a second of rest, such as a long text laid out after the window), and its peak
// memory then. The X server reports the mapping and the kernel the processor time, so nothing in
// the program is instrumented.
//
//   startup_timer RUNS PROGRAM [ARGS...]
//
// The last line is the figures alone, for scripts: shown ms, settled ms, peak MiB.

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
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

// The processor time the process has used so far, in clock ticks.
long long processorTime(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto end = text.rfind(')');
    if (end == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::atoll(field.c_str());
        if (i == 15)
            stime = std::atoll(field.c_str());
    }
    return utime + stime;
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
    std::vector<double> settledTimes;
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
        // Settled: the processor time stops growing for a quarter of a second.
        auto settled = shown;
        long long used = processorTime(pid);
        for (auto still = std::chrono::milliseconds(0); still < std::chrono::milliseconds(250);) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const long long now = processorTime(pid);
            if (now != used) {
                used = now;
                settled = std::chrono::steady_clock::now();
                still = std::chrono::milliseconds(0);
            } else {
                still += std::chrono::milliseconds(10);
            }
        }
        settledTimes.push_back(std::chrono::duration<double, std::milli>(settled - start).count());
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
    std::printf(
        "shown after %.1f ms, settled after %.1f ms (medians of %d), peak memory %.1f MiB\n",
        median(times), median(settledTimes), runs, median(memories));
    std::printf("%.1f %.1f %.1f\n", median(times), median(settledTimes), median(memories));
    xcb_disconnect(connection);
    return 0;
}
