// The quick-run box's search worker: one thread per showing that loads Index.dat,
// then answers the box's searches and icon look-ups with posted messages. It never
// touches a window; a newer search (a higher generation) cancels an older one.
#pragma once

#include "dialogs/index_search.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dialogs {

// Posted to the box. lParam: a SearchRows*, which the receiver frees; wParam: 0.
inline constexpr UINT WM_SEARCH_ROWS = WM_APP + 40;
// Posted to the box. lParam: a SearchIcon*, which the receiver frees; wParam: 0.
inline constexpr UINT WM_SEARCH_ICON = WM_APP + 41;

struct SearchRow {
    std::uint32_t line = 0;  // in `index`
    bool folder = false;
};

// The rows of one search, folders first, otherwise in file order. A first part
// (complete false) may come before the whole list of the same generation.
struct SearchRows {
    std::uint64_t generation = 0;
    bool complete = false;
    std::shared_ptr<const SearchIndex> index;  // keeps the lines alive for the rows
    std::vector<SearchRow> rows;
};

// The system image list index of one result's own icon.
struct SearchIcon {
    std::uint64_t generation = 0;
    std::uint32_t line = 0;
    int image = -1;
};

// Sorts rows folders first and keeps the file order otherwise.
void SortFoldersFirst(std::vector<SearchRow>& rows);

// The rows the worker posts before the whole list when the attribute calls take a
// while after the scan.
inline constexpr size_t kFirstScreenful = 40;

class SearchWorker {
public:
    // Starts the thread, which first loads `indexPath`. Without a thread to be had
    // the worker answers nothing.
    SearchWorker(HWND target, std::wstring indexPath);
    // Stops without waiting: the thread ends on its own and drops its share of the index.
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    // Replaces any search not yet started, and cancels the running one.
    void Search(std::uint64_t generation, std::wstring text);
    // Cancels the running search without starting another.
    void Cancel(std::uint64_t generation);
    void RequestIcon(std::uint64_t generation, std::uint32_t line);

    struct State;

private:
    std::shared_ptr<State> state_;
};

// The thread of one worker; ends when the worker is stopped.
void SearchThreadProc(const std::shared_ptr<SearchWorker::State>& state) noexcept;

// Waits until every worker thread has ended, at most timeoutMs; false when some still run.
bool WaitForSearchWorkers(DWORD timeoutMs);
// Worker threads started by this process so far.
int SearchWorkersStarted();

}  // namespace dialogs
