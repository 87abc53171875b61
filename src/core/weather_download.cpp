// DownloadText: WinInet on a worker thread that touches nothing but its own job, and
// the GUI thread's message-dispatching wait for it.
#include "core/weather.h"

#include "ui/application.h"
#include "ui/handles.h"

#include <wininet.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace core {
namespace {

constexpr DWORD kDeadlineMs = 10000;
constexpr size_t kMaxBody = 256 * 1024;
constexpr DWORD kReadChunk = 1025;

std::optional<DWORD>& DeadlineForTests() {
    static std::optional<DWORD> ms;
    return ms;
}

// The running workers. Never freed: an abandoned worker may still count itself out
// while the program's statics are being destroyed.
struct WorkerCount {
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
};
WorkerCount& Workers() {
    static WorkerCount* count = new WorkerCount;
    return *count;
}

struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { InternetCloseHandle(h); }
};
using UniqueInternet = ui::Unique<InternetTraits>;

// What the worker owns with the GUI thread until the GUI thread lets go of it.
struct DownloadJob {
    std::string url;
    DWORD timeoutMs = kDeadlineMs;
    std::atomic<bool> abandoned{false};
    DownloadStatus status = DownloadStatus::Failed;
    std::string body;
    ui::UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

std::optional<DWORD> NumberHeader(HINTERNET request, DWORD query) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!HttpQueryInfoA(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)) return std::nullopt;
    return value;
}

// The whole exchange; the job's status stays Failed on every early return.
void Fetch(DownloadJob& job) {
    UniqueInternet net(InternetOpenA("Zarvo", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!net) {
        job.status = DownloadStatus::NoWininet;
        return;
    }
    // Windows honours these; Wine 8 ignores them, which is why the GUI thread never
    // waits past its deadline.
    DWORD timeout = job.timeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT})
        InternetSetOptionA(net.Get(), option, &timeout, sizeof(timeout));
    UniqueInternet request(InternetOpenUrlA(net.Get(), job.url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0));
    if (!request) return;
    // Wine reports a connection closed without an answer as status 0.
    if (NumberHeader(request.Get(), HTTP_QUERY_STATUS_CODE) != 200u) return;
    const std::optional<DWORD> length = NumberHeader(request.Get(), HTTP_QUERY_CONTENT_LENGTH);
    if (length && *length > kMaxBody) return;
    std::string body;
    char buffer[kReadChunk];
    for (;;) {
        if (job.abandoned) return;
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), buffer, kReadChunk, &got)) return;
        if (got == 0) break;
        if (body.size() + got > kMaxBody) return;
        body.append(buffer, got);
    }
    // Wine ends a body that stops short of its Content-Length like a complete one.
    if (body.empty() || (length && body.size() < *length)) return;
    job.body = std::move(body);
    job.status = DownloadStatus::Ok;
}

void RunWorker(const std::shared_ptr<DownloadJob>& job) noexcept {
    try {
        Fetch(*job);
    } catch (...) {
        job->status = DownloadStatus::Failed;
    }
    SetEvent(job->done.Get());
    WorkerCount& workers = Workers();
    std::lock_guard<std::mutex> lock(workers.mutex);
    --workers.running;
    workers.changed.notify_all();
}

enum class WaitEnd { Signalled, Deadline, Ending };

// Dispatches messages until the event is set, the deadline passes or the
// application ends.
WaitEnd WaitDispatching(HANDLE event, DWORD ms) {
    auto& app = ui::Application::Instance();
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (app.Terminated()) return WaitEnd::Ending;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return WaitEnd::Deadline;
        const DWORD woke = MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return app.Terminated() ? WaitEnd::Ending : WaitEnd::Signalled;
        if (woke == WAIT_OBJECT_0 + 1) app.ProcessMessages();
        else if (woke != WAIT_TIMEOUT) return WaitEnd::Deadline;  // WAIT_FAILED: nothing to wait on
    }
}

}  // namespace

void SetWeatherDeadlineForTests(std::optional<DWORD> ms) { DeadlineForTests() = ms; }

bool WaitForWeatherWorkers(DWORD timeoutMs) {
    WorkerCount& workers = Workers();
    std::unique_lock<std::mutex> lock(workers.mutex);
    return workers.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return workers.running == 0; });
}

DownloadResult DownloadText(const std::string& url) {
    auto job = std::make_shared<DownloadJob>();
    if (!job->done) return {};
    job->url = url;
    job->timeoutMs = DeadlineForTests().value_or(kDeadlineMs);
    {
        std::lock_guard<std::mutex> lock(Workers().mutex);
        ++Workers().running;
    }
    try {
        std::thread([job] { RunWorker(job); }).detach();
    } catch (...) {
        std::lock_guard<std::mutex> lock(Workers().mutex);
        --Workers().running;
        return {};
    }
    const WaitEnd end = WaitDispatching(job->done.Get(), job->timeoutMs);
    if (end != WaitEnd::Signalled) {
        // The worker keeps its share of the job and frees it when it ends.
        job->abandoned = true;
        return {end == WaitEnd::Ending ? DownloadStatus::Ending : DownloadStatus::Failed, {}};
    }
    return {job->status, std::move(job->body)};
}

}  // namespace core
