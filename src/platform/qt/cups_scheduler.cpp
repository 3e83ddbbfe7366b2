#include "platform/qt/cups_scheduler.h"

#include <QCoreApplication>

#include <cups/cups.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace dovrante {

namespace {

using namespace std::chrono_literals;

// How long one connection or one reply may take; a scheduler that works answers in milliseconds.
constexpr int ConnectMilliseconds = 2000;
constexpr double ReplySeconds = 2.0;
// How long the window waits for the whole answer (a few requests, each bounded as above).
constexpr auto AnswerWait = 7s;
// One answer serves the questions of one print run.
constexpr auto AnswerLife = 10s;
// A job file is sent in pieces; only a pause this long in the sending gives up.
constexpr double SendSeconds = 20.0;

std::string server()
{
    const char *name = cupsServer();
    return name ? name : "";
}

// CUPS's own words for what went wrong last.
std::string cupsReason()
{
    const char *reason = cupsLastErrorString();
    return reason && *reason ? std::string(reason) : std::string("no reason given");
}

// CUPS's words for a failed request, when they say more than that it failed; a request cut off
// by the timeout or a dropped connection leaves "Success" behind.
std::string failureDetail()
{
    const char *reason = cupsLastErrorString();
    if (!reason || !*reason || std::string(reason) == "Success")
        return {};
    return std::string(" (") + reason + ")";
}

// A connection to the scheduler whose every wait gives up after the given time.
http_t *connectToScheduler(double replySeconds)
{
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                ConnectMilliseconds, nullptr);
    if (http)
        httpSetTimeout(
            http, replySeconds, [](http_t *, void *) { return 0; }, nullptr);
    return http;
}

CupsAnswer askScheduler()
{
    CupsAnswer answer;
    http_t *http = connectToScheduler(ReplySeconds);
    if (!http) {
        answer.failure = "the CUPS scheduler cannot be reached at " + server();
        return answer;
    }
    cups_dest_t *destinations = nullptr;
    const int count = cupsGetDests2(http, &destinations);
    const ipp_status_t status = cupsLastError();
    // "Not found" is CUPS's way of saying that no printer is set up.
    if (count == 0 && status > IPP_STATUS_OK_EVENTS_COMPLETE &&
        status != IPP_STATUS_ERROR_NOT_FOUND)
        answer.failure = "the CUPS scheduler at " + server() + " did not answer" + failureDetail();
    for (int i = 0; i < count; ++i)
        answer.names.emplace_back(destinations[i].name);
    if (const cups_dest_t *found = cupsGetDest(nullptr, nullptr, count, destinations)) {
        const auto option = [found](const char *name) {
            const char *text = cupsGetOption(name, found->num_options, found->options);
            return std::string(text ? text : "");
        };
        answer.defaultName = found->name;
        answer.defaultDriver = option("printer-make-and-model");
        answer.defaultUri = option("device-uri");
    }
    cupsFreeDests(count, destinations);
    httpClose(http);
    return answer;
}

} // namespace

const CupsAnswer &CupsScheduler::answer()
{
    const auto now = std::chrono::steady_clock::now();
    if (m_answer && now - m_askedAt < AnswerLife)
        return *m_answer;

    // Shared with the asking thread, which may outlive this wait when the scheduler hangs.
    struct Asking {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<CupsAnswer> answer;
    };
    const auto asking = std::make_shared<Asking>();
    std::thread([asking] {
        CupsAnswer answer = askScheduler();
        const std::lock_guard lock(asking->mutex);
        asking->answer = std::move(answer);
        asking->done.notify_all();
    }).detach();

    // The window is repainted while CUPS is asked; input waits, so that no second print run
    // starts inside this one.
    const auto deadline = now + AnswerWait;
    std::unique_lock lock(asking->mutex);
    while (!asking->answer && std::chrono::steady_clock::now() < deadline) {
        asking->done.wait_for(lock, 50ms);
        lock.unlock();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        lock.lock();
    }
    if (asking->answer) {
        m_answer = std::move(*asking->answer);
    } else {
        m_answer = CupsAnswer{};
        m_answer->failure = "the CUPS scheduler at " + server() + " did not answer in time";
    }
    m_askedAt = std::chrono::steady_clock::now();
    return *m_answer;
}

std::string CupsScheduler::noPrinterReason()
{
    const CupsAnswer &now = answer();
    if (!now.failure.empty())
        return now.failure;
    if (now.names.empty())
        return "no printer is set up in CUPS";
    return "CUPS names no default printer";
}

std::optional<std::string> CupsScheduler::printFile(const std::string &destination,
                                                    const std::string &file, bool monochrome)
{
    http_t *http = connectToScheduler(SendSeconds);
    if (!http)
        return "the CUPS scheduler cannot be reached at " + server();
    cups_option_t *options = nullptr;
    int optionCount = 0;
    if (monochrome)
        optionCount = cupsAddOption("print-color-mode", "monochrome", optionCount, &options);
    const int jobId =
        cupsPrintFile2(http, destination.c_str(), file.c_str(), "Dovrante", optionCount, options);
    cupsFreeOptions(optionCount, options);
    std::optional<std::string> failure;
    if (jobId == 0)
        failure = "CUPS did not take the job (" + cupsReason() + ")";
    httpClose(http);
    return failure;
}

} // namespace dovrante
