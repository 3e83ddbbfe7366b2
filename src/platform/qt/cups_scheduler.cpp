#include "platform/qt/cups_scheduler.h"

#include <QCoreApplication>

#include <cups/cups.h>
#include <dlfcn.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>

namespace dovrante {

namespace {

using namespace std::chrono_literals;

// The calls of libcups, which is loaded on first use. Linked in, it and the libraries it needs
// (TLS, Kerberos, Avahi) cost every start some milliseconds before main(), and most starts never
// print.
struct Cups {
    decltype(&::cupsServer) server;
    decltype(&::ippPort) port;
    decltype(&::cupsEncryption) encryption;
    decltype(&::httpConnect2) connect;
    decltype(&::httpSetTimeout) setTimeout;
    decltype(&::httpClose) close;
    decltype(&::cupsGetDests2) getDests;
    decltype(&::cupsGetDest) getDest;
    decltype(&::cupsGetOption) getOption;
    decltype(&::cupsFreeDests) freeDests;
    decltype(&::cupsLastError) lastError;
    decltype(&::cupsLastErrorString) lastErrorString;
    decltype(&::cupsAddOption) addOption;
    decltype(&::cupsFreeOptions) freeOptions;
    decltype(&::cupsPrintFile2) printFile;
};

template <typename Call>
void resolve(void *library, const char *name, Call &call, std::string &missing)
{
    call = reinterpret_cast<Call>(::dlsym(library, name));
    if (!call)
        missing = name;
}

std::variant<Cups, std::string> loadCups()
{
    void *library = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::string("the CUPS library cannot be loaded (") + ::dlerror() + ")";
    Cups c{};
    std::string missing;
    resolve(library, "cupsServer", c.server, missing);
    resolve(library, "ippPort", c.port, missing);
    resolve(library, "cupsEncryption", c.encryption, missing);
    resolve(library, "httpConnect2", c.connect, missing);
    resolve(library, "httpSetTimeout", c.setTimeout, missing);
    resolve(library, "httpClose", c.close, missing);
    resolve(library, "cupsGetDests2", c.getDests, missing);
    resolve(library, "cupsGetDest", c.getDest, missing);
    resolve(library, "cupsGetOption", c.getOption, missing);
    resolve(library, "cupsFreeDests", c.freeDests, missing);
    resolve(library, "cupsLastError", c.lastError, missing);
    resolve(library, "cupsLastErrorString", c.lastErrorString, missing);
    resolve(library, "cupsAddOption", c.addOption, missing);
    resolve(library, "cupsFreeOptions", c.freeOptions, missing);
    resolve(library, "cupsPrintFile2", c.printFile, missing);
    if (!missing.empty())
        return "the CUPS library lacks " + missing;
    return c;
}

// libcups, loaded once by whichever thread asks first; nothing when it cannot be loaded, and
// then `why` says why.
const Cups *cups(std::string *why = nullptr)
{
    static const std::variant<Cups, std::string> loaded = loadCups();
    if (const auto *reason = std::get_if<std::string>(&loaded)) {
        if (why)
            *why = *reason;
        return nullptr;
    }
    return &std::get<Cups>(loaded);
}

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
    const char *name = cups() ? cups()->server() : nullptr;
    return name ? name : "";
}

// CUPS's own words for what went wrong last.
std::string cupsReason()
{
    const char *reason = cups()->lastErrorString();
    return reason && *reason ? std::string(reason) : std::string("no reason given");
}

// CUPS's words for a failed request, when they say more than that it failed; a request cut off
// by the timeout or a dropped connection leaves "Success" behind.
std::string failureDetail()
{
    const char *reason = cups()->lastErrorString();
    if (!reason || !*reason || std::string(reason) == "Success")
        return {};
    return std::string(" (") + reason + ")";
}

// A connection to the scheduler whose every wait gives up after the given time; nothing, and
// why, when there is none.
http_t *connectToScheduler(double replySeconds, std::string &why)
{
    const Cups *c = cups(&why);
    if (!c)
        return nullptr;
    http_t *http = c->connect(c->server(), c->port(), nullptr, AF_UNSPEC, c->encryption(), 1,
                              ConnectMilliseconds, nullptr);
    if (http)
        c->setTimeout(
            http, replySeconds, [](http_t *, void *) { return 0; }, nullptr);
    else
        why = "the CUPS scheduler cannot be reached at " + server();
    return http;
}

CupsAnswer askScheduler()
{
    CupsAnswer answer;
    http_t *http = connectToScheduler(ReplySeconds, answer.failure);
    if (!http)
        return answer;
    const Cups &c = *cups();
    cups_dest_t *destinations = nullptr;
    const int count = c.getDests(http, &destinations);
    const ipp_status_t status = c.lastError();
    // "Not found" is CUPS's way of saying that no printer is set up.
    if (count == 0 && status > IPP_STATUS_OK_EVENTS_COMPLETE &&
        status != IPP_STATUS_ERROR_NOT_FOUND)
        answer.failure = "the CUPS scheduler at " + server() + " did not answer" + failureDetail();
    for (int i = 0; i < count; ++i)
        answer.names.emplace_back(destinations[i].name);
    if (const cups_dest_t *found = c.getDest(nullptr, nullptr, count, destinations)) {
        const auto option = [&c, found](const char *name) {
            const char *text = c.getOption(name, found->num_options, found->options);
            return std::string(text ? text : "");
        };
        answer.defaultName = found->name;
        answer.defaultDriver = option("printer-make-and-model");
        answer.defaultUri = option("device-uri");
    }
    c.freeDests(count, destinations);
    c.close(http);
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
    std::string why;
    http_t *http = connectToScheduler(SendSeconds, why);
    if (!http)
        return why;
    const Cups &c = *cups();
    cups_option_t *options = nullptr;
    int optionCount = 0;
    if (monochrome)
        optionCount = c.addOption("print-color-mode", "monochrome", optionCount, &options);
    const int jobId =
        c.printFile(http, destination.c_str(), file.c_str(), "Dovrante", optionCount, options);
    c.freeOptions(optionCount, options);
    std::optional<std::string> failure;
    if (jobId == 0)
        failure = "CUPS did not take the job (" + cupsReason() + ")";
    c.close(http);
    return failure;
}

} // namespace dovrante
