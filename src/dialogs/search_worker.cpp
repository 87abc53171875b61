#include "dialogs/search_worker.h"

#include "ui/sessions.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace dialogs {

struct SearchWorker::State {
    HWND target = nullptr;
    std::wstring indexPath;
    std::mutex mutex;
    std::condition_variable wake;
    // Guarded by mutex.
    std::optional<std::pair<std::uint64_t, std::wstring>> search;
    std::deque<std::pair<std::uint64_t, std::uint32_t>> icons;
    // Read by the scan without the lock, as its cancel test.
    std::atomic<std::uint64_t> latest{0};
    std::atomic<bool> stopped{false};
};

namespace {

using Clock = std::chrono::steady_clock;
// The first screenful goes out when the whole list is not ready this long after the scan.
constexpr auto kFirstRowsAfter = std::chrono::milliseconds(5);
// The attribute calls between two cancel tests.
constexpr size_t kAttributeBlock = 256;

std::mutex g_workersMutex;
std::condition_variable g_workersDone;
int g_running = 0;
std::atomic<int> g_started{0};

template <class Payload> void Post(const SearchWorker::State& state, UINT message, std::unique_ptr<Payload> payload) {
    if (state.stopped) return;
    if (PostMessageW(state.target, message, 0, reinterpret_cast<LPARAM>(payload.get())))
        static_cast<void>(payload.release());  // the box frees it
}

bool IsFolder(std::wstring_view line) {
    const std::wstring path(line);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PostRows(const SearchWorker::State& state, std::uint64_t generation, bool complete,
              const std::shared_ptr<const SearchIndex>& index, std::vector<SearchRow> rows) {
    auto payload = std::make_unique<SearchRows>();
    payload->generation = generation;
    payload->complete = complete;
    payload->index = index;
    payload->rows = std::move(rows);
    Post(state, WM_SEARCH_ROWS, std::move(payload));
}

void RunSearch(SearchWorker::State& state, const std::shared_ptr<const SearchIndex>& index,
               std::uint64_t generation, const std::wstring& text) {
    auto cancelled = [&] { return state.stopped || state.latest != generation; };
    const std::optional<std::vector<std::uint32_t>> matches = FindInIndex(*index, text, cancelled);
    if (!matches) return;
    const Clock::time_point scanned = Clock::now();
    std::vector<SearchRow> rows;
    rows.reserve(matches->size());
    bool firstPosted = false;
    for (const std::uint32_t line : *matches) {
        if (rows.size() % kAttributeBlock == 0 && cancelled()) return;
        rows.push_back({line, IsFolder(index->Line(line))});
        if (!firstPosted && rows.size() >= kFirstScreenful && Clock::now() - scanned > kFirstRowsAfter) {
            std::vector<SearchRow> first = rows;
            SortFoldersFirst(first);
            PostRows(state, generation, false, index, std::move(first));
            firstPosted = true;
        }
    }
    if (cancelled()) return;
    SortFoldersFirst(rows);
    PostRows(state, generation, true, index, std::move(rows));
}

void LookUpIcon(SearchWorker::State& state, const SearchIndex& index, std::uint64_t generation,
                std::uint32_t line) {
    if (state.latest != generation || line >= index.size()) return;
    const std::wstring path(index.Line(line));
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return;
    auto payload = std::make_unique<SearchIcon>();
    payload->generation = generation;
    payload->line = line;
    payload->image = info.iIcon;
    Post(state, WM_SEARCH_ICON, std::move(payload));
}

}  // namespace

void SortFoldersFirst(std::vector<SearchRow>& rows) {
    std::stable_partition(rows.begin(), rows.end(), [](const SearchRow& row) { return row.folder; });
}

void SearchThreadProc(const std::shared_ptr<SearchWorker::State>& state) noexcept {
    try {
        // The shell's icon look-ups want an apartment.
        ui::ComSession com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        const auto index = std::make_shared<const SearchIndex>(SearchIndex::Load(state->indexPath));
        for (;;) {
            std::optional<std::pair<std::uint64_t, std::wstring>> search;
            std::deque<std::pair<std::uint64_t, std::uint32_t>> icons;
            {
                std::unique_lock lock(state->mutex);
                state->wake.wait(lock, [&] { return state->stopped || state->search || !state->icons.empty(); });
                if (state->stopped) return;
                search.swap(state->search);
                icons.swap(state->icons);
            }
            if (search) RunSearch(*state, index, search->first, search->second);
            for (const auto& [generation, line] : icons) LookUpIcon(*state, *index, generation, line);
        }
    } catch (...) {
        // Out of memory for a huge index: the box simply lists nothing more.
    }
}

SearchWorker::SearchWorker(HWND target, std::wstring indexPath) : state_(std::make_shared<State>()) {
    state_->target = target;
    state_->indexPath = std::move(indexPath);
    try {
        {
            std::lock_guard lock(g_workersMutex);
            ++g_running;
        }
        std::thread([state = state_] {
            SearchThreadProc(state);
            std::lock_guard lock(g_workersMutex);
            --g_running;
            g_workersDone.notify_all();
        }).detach();
        ++g_started;
    } catch (const std::system_error&) {
        std::lock_guard lock(g_workersMutex);
        --g_running;
    }
}

SearchWorker::~SearchWorker() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopped = true;
    }
    state_->wake.notify_all();
}

void SearchWorker::Search(std::uint64_t generation, std::wstring text) {
    {
        std::lock_guard lock(state_->mutex);
        state_->latest = generation;
        state_->search.emplace(generation, std::move(text));
    }
    state_->wake.notify_all();
}

void SearchWorker::Cancel(std::uint64_t generation) {
    std::lock_guard lock(state_->mutex);
    state_->latest = generation;
    state_->search.reset();
}

void SearchWorker::RequestIcon(std::uint64_t generation, std::uint32_t line) {
    {
        std::lock_guard lock(state_->mutex);
        state_->icons.emplace_back(generation, line);
    }
    state_->wake.notify_all();
}

bool WaitForSearchWorkers(DWORD timeoutMs) {
    std::unique_lock lock(g_workersMutex);
    return g_workersDone.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return g_running == 0; });
}

int SearchWorkersStarted() { return g_started; }

}  // namespace dialogs
