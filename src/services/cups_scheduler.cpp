#include "services/cups_scheduler.h"

#include "services/held_input.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

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
    decltype(&::cupsCreateJob) createJob;
    decltype(&::cupsStartDocument) startDocument;
    decltype(&::cupsWriteRequestData) writeRequestData;
    decltype(&::cupsFinishDocument) finishDocument;
    decltype(&::cupsCancelJob2) cancelJob;
    decltype(&::cupsCopyDestInfo) copyDestInfo;
    decltype(&::cupsFreeDestInfo) freeDestInfo;
    decltype(&::cupsFindDestDefault) findDestDefault;
    decltype(&::cupsGetDestMediaByName) getDestMediaByName;
    decltype(&::ippGetString) ippString;
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
    resolve(library, "cupsCreateJob", c.createJob, missing);
    resolve(library, "cupsStartDocument", c.startDocument, missing);
    resolve(library, "cupsWriteRequestData", c.writeRequestData, missing);
    resolve(library, "cupsFinishDocument", c.finishDocument, missing);
    resolve(library, "cupsCancelJob2", c.cancelJob, missing);
    resolve(library, "cupsCopyDestInfo", c.copyDestInfo, missing);
    resolve(library, "cupsFreeDestInfo", c.freeDestInfo, missing);
    resolve(library, "cupsFindDestDefault", c.findDestDefault, missing);
    resolve(library, "cupsGetDestMediaByName", c.getDestMediaByName, missing);
    resolve(library, "ippGetString", c.ippString, missing);
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
// A point is 1/72 inch; CUPS gives paper sizes in hundredths of a millimetre.
constexpr double PointsPerHundredthMm = 72.0 / 2540.0;

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

// Every wait on the connection from now on gives up after that time.
void giveUpAfter(http_t *http, double seconds)
{
    cups()->setTimeout(
        http, seconds, [](http_t *, void *) { return 0; }, nullptr);
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
        giveUpAfter(http, replySeconds);
    else
        why = "the CUPS scheduler cannot be reached at " + server();
    return http;
}

// Creates a job on the destination and sends it the file; nothing when CUPS took it, otherwise
// why not. The job is created with the short timeout of every question, so that a scheduler that
// has gone quiet costs seconds; the sending then waits longer, as a large job may.
std::optional<std::string> sendJob(http_t *http, const std::string &destination,
                                   const std::string &file, bool monochrome,
                                   const std::function<bool()> &goOn)
{
    const Cups &c = *cups();
    cups_option_t *options = nullptr;
    int optionCount = 0;
    if (monochrome)
        optionCount = c.addOption("print-color-mode", "monochrome", optionCount, &options);
    const int jobId = c.createJob(http, destination.c_str(), "Dovrante", optionCount, options);
    c.freeOptions(optionCount, options);
    if (jobId == 0)
        return "CUPS did not take the job (" + cupsReason() + ")";
    // Created after the window gave up waiting: the person was told that nothing was printed.
    if (!goOn()) {
        c.cancelJob(http, destination.c_str(), jobId, 0);
        return "given up";
    }

    std::unique_ptr<std::FILE, decltype(&std::fclose)> input(std::fopen(file.c_str(), "rb"),
                                                             &std::fclose);
    if (!input)
        return "the job file " + file + " cannot be read";
    giveUpAfter(http, SendSeconds);
    if (c.startDocument(http, destination.c_str(), jobId, "Dovrante", "application/pdf", 1) !=
        HTTP_STATUS_CONTINUE)
        return "CUPS did not take the job (" + cupsReason() + ")";
    std::vector<char> buffer(1 << 16);
    bool sent = true;
    for (std::size_t got; sent && (got = std::fread(buffer.data(), 1, buffer.size(), input.get()));)
        sent = c.writeRequestData(http, buffer.data(), got) == HTTP_STATUS_CONTINUE;
    // Finished even after a failed write, so that CUPS drops the half-sent job.
    const ipp_status_t finished = c.finishDocument(http, destination.c_str());
    if (!sent || std::ferror(input.get()) || finished > IPP_STATUS_OK_EVENTS_COMPLETE)
        return "CUPS did not take the job (" + cupsReason() + ")";
    return std::nullopt;
}

// The destination's default paper and colour mode, asked on the same connection.
void describePaper(const Cups &c, http_t *http, cups_dest_t *destination, CupsAnswer &answer)
{
    cups_dinfo_t *info = c.copyDestInfo(http, destination);
    if (!info)
        return;
    const auto defaultOf = [&](const char *option) {
        ipp_attribute_t *value = c.findDestDefault(http, destination, info, option);
        const char *text = value ? c.ippString(value, 0, nullptr) : nullptr;
        return std::string(text ? text : "");
    };
    const std::string media = defaultOf("media");
    cups_size_t size{};
    if (!media.empty() &&
        c.getDestMediaByName(http, destination, info, media.c_str(), CUPS_MEDIA_FLAGS_DEFAULT,
                             &size) &&
        size.width > 0 && size.length > 0) {
        const auto points = [](int hundredths) { return hundredths * PointsPerHundredthMm; };
        answer.paper = CupsPaper{points(size.width), points(size.length), points(size.left),
                                 points(size.top),   points(size.right),  points(size.bottom)};
    }
    answer.defaultMonochrome = defaultOf("print-color-mode") == "monochrome";
    c.freeDestInfo(info);
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
    if (cups_dest_t *found = c.getDest(nullptr, nullptr, count, destinations)) {
        const auto option = [&c, found](const char *name) {
            const char *text = c.getOption(name, found->num_options, found->options);
            return std::string(text ? text : "");
        };
        answer.defaultName = found->name;
        answer.defaultDriver = option("printer-make-and-model");
        answer.defaultUri = option("device-uri");
        describePaper(c, http, found, answer);
    }
    c.freeDests(count, destinations);
    c.close(http);
    return answer;
}

// Runs a question to CUPS on a thread of its own while the window goes on (see HeldInput), and
// waits for its answer; nothing when it did not come within `bound`. The question may call the
// function it is given once, at a point after which it must not be given up (a job's document is
// about to be sent): the function then says whether the wait was already given up, and from then
// on the wait has no bound but the connection's own timeouts. The thread may outlive the wait.
template <typename Answer>
std::optional<Answer>
awayFromTheWindow(std::function<Answer(const std::function<bool()> &goOn)> question,
                  std::chrono::milliseconds bound)
{
    struct Asking {
        std::mutex mutex;
        std::optional<Answer> answer;
        bool committed = false;
        bool givenUp = false;
    };
    const auto asking = std::make_shared<Asking>();
    std::thread([asking, question = std::move(question)] {
        const auto goOn = [&asking] {
            const std::lock_guard lock(asking->mutex);
            asking->committed = !asking->givenUp;
            return asking->committed;
        };
        Answer answer = question(goOn);
        const std::lock_guard lock(asking->mutex);
        asking->answer = std::move(answer);
    }).detach();
    const auto start = std::chrono::steady_clock::now();
    HeldInput().waitUntil(
        [&asking, start, bound] {
            const std::lock_guard lock(asking->mutex);
            if (!asking->answer && !asking->committed &&
                std::chrono::steady_clock::now() - start >= bound)
                asking->givenUp = true;
            return asking->answer || asking->givenUp;
        },
        std::nullopt);
    const std::lock_guard lock(asking->mutex);
    return asking->givenUp ? std::nullopt : std::move(asking->answer);
}

// What is said when the scheduler did not answer within the wait.
std::string noAnswerInTime()
{
    return "the CUPS scheduler at " + server() + " did not answer in time";
}

} // namespace

const CupsAnswer &CupsScheduler::answer()
{
    const auto now = std::chrono::steady_clock::now();
    if (m_answer && now - m_askedAt < AnswerLife)
        return *m_answer;

    std::optional<CupsAnswer> asked =
        awayFromTheWindow<CupsAnswer>([](const auto &) { return askScheduler(); }, AnswerWait);
    if (asked) {
        m_answer = std::move(*asked);
    } else {
        m_answer = CupsAnswer{};
        m_answer->failure = noAnswerInTime();
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
    const auto send = [destination, file, monochrome](
                          const std::function<bool()> &goOn) -> std::optional<std::string> {
        std::string why;
        http_t *http = connectToScheduler(ReplySeconds, why);
        if (!http)
            return why;
        std::optional<std::string> failure = sendJob(http, destination, file, monochrome, goOn);
        cups()->close(http);
        return failure;
    };
    // Bounded until the job is created; a large job then takes its time to send, and only a pause
    // in the sending gives up.
    const std::optional<std::optional<std::string>> sent =
        awayFromTheWindow<std::optional<std::string>>(send, AnswerWait);
    return sent ? *sent : noAnswerInTime();
}

} // namespace dovrante
