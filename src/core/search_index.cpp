#include "core/search_index.h"

#include "core/form1.h"
#include "core/startup.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace core {

std::vector<std::wstring> ParseIndexList(std::string_view bytes) {
    const std::wstring text = ui::DecodeMarkedText(bytes);
    std::vector<std::wstring> folders;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring_view line(text.data() + start, end - start);
        // A blank line names no folder; the trimmed line is the folder as typed.
        if (!ui::TrimSpaces(line).empty()) folders.emplace_back(line);
        start = end;
        if (start < text.size() && text[start] == L'\r') ++start;
        if (start < text.size() && text[start] == L'\n') ++start;
    }
    return folders;
}

std::vector<std::wstring> ReadIndexList(const std::wstring& path) {
    auto bytes = ui::ReadFileBytes(path);
    if (!bytes) return {};
    return ParseIndexList(*bytes);
}

bool WriteIndexList(const std::wstring& path, const std::vector<std::wstring>& folders) {
    std::wstring text;
    for (const auto& folder : folders) text += folder + L"\r\n";
    return ui::WriteFileAtomic(path, ui::EncodeMarkedText(text));
}

namespace {

// A piece of Index.dat's text is converted and written once it holds this many characters.
constexpr size_t kPendingChars = 32 * 1024;
// The quick-run box holds Index.dat during its one read, and while a file is open the
// move over it fails: the replace is tried again for about a second.
constexpr int kReplaceAttempts = 20;
constexpr DWORD kReplaceRetryMs = 50;

}  // namespace

IndexFileWriter::IndexFileWriter(HANDLE file) : file_(file) { pending_.reserve(kPendingChars + 1024); }

bool IndexFileWriter::Add(std::wstring_view path) {
    if (failed_) return false;
    pending_.append(path);
    pending_.append(L"\r\n");
    return pending_.size() < kPendingChars || WritePending();
}

bool IndexFileWriter::Finish() {
    if (!WritePending()) return false;
    failed_ = !FlushFileBuffers(file_);
    return !failed_;
}

bool IndexFileWriter::WritePending() {
    if (failed_) return false;
    if (pending_.empty()) return true;
    bool written = false;
    if (!utf8_) {
        // Whole lines only: a line end is one byte in every ANSI code page, so the
        // pieces convert as the whole text would.
        if (auto ansi = ui::WideToAnsiExact(pending_)) {
            written = WriteBytes(*ansi);
        } else if (SwitchToUtf8()) {
            written = WriteBytes(ui::WideToUtf8(pending_));
        }
    } else {
        written = WriteBytes(ui::WideToUtf8(pending_));
    }
    pending_.clear();
    failed_ = !written;
    return written;
}

bool IndexFileWriter::SwitchToUtf8() {
    // What is in the file so far was written as exact ANSI from the start of the file.
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_, &size) || size.QuadPart > 0x7FFFFFFF) return false;
    std::string ansi(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!SetFilePointerEx(file_, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
    if (!ansi.empty() &&
        (!ReadFile(file_, ansi.data(), static_cast<DWORD>(ansi.size()), &read, nullptr) || read != ansi.size()))
        return false;
    if (!SetFilePointerEx(file_, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
    utf8_ = true;
    return WriteBytes(std::string(kIndexUtf8Mark) + ui::WideToUtf8(ui::AnsiToWide(ansi))) && SetEndOfFile(file_);
}

bool IndexFileWriter::WriteBytes(std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_, bytes.data(), piece, &written, nullptr) || written != piece) return false;
        bytes.remove_prefix(piece);
    }
    return true;
}

namespace {

IndexBuildResult WriteIndexTemp(const std::wstring& temp, const std::vector<std::wstring>& folders,
                                const FolderEnumeration& enumeration, const std::atomic<bool>& cancel) {
    // Read access too: a switch to UTF-8 reads back what was written.
    ui::UniqueFile file(CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return IndexBuildResult::Failed;
    IndexFileWriter writer(file.Get());
    for (const std::wstring& folder : folders)
        if (!CollectFiles(ui::IncludeTrailingBackslash(folder) + L"*.*", writer, enumeration, cancel)) break;
    if (cancel.load()) return IndexBuildResult::Cancelled;
    return writer.Finish() ? IndexBuildResult::Written : IndexBuildResult::Failed;
}

IndexBuildResult ReplaceIndexFile(const std::wstring& temp, const std::wstring& target,
                                  const std::atomic<bool>& cancel) {
    for (int attempt = 1;; ++attempt) {
        if (ui::ReplaceFileWith(temp, target)) return IndexBuildResult::Written;
        if (cancel.load()) return IndexBuildResult::Cancelled;
        if (attempt == kReplaceAttempts) return IndexBuildResult::Failed;
        Sleep(kReplaceRetryMs);
    }
}

}  // namespace

IndexBuildResult BuildIndexFile(const std::wstring& appDir, const FolderEnumeration& enumeration,
                                const std::atomic<bool>& cancel) {
    const std::wstring listPath = appDir + kIndexListFile;
    if (!ui::FileExists(listPath)) {
        // Made empty for the settings dialog to fill; a folder we cannot write leaves it missing.
        ui::UniqueFile created(
            CreateFileW(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    const std::vector<std::wstring> folders = ReadIndexList(listPath);
    const std::wstring target = appDir + kIndexDataFile;
    const std::wstring temp = ui::AtomicTempName(target);
    IndexBuildResult result = WriteIndexTemp(temp, folders, enumeration, cancel);
    if (result == IndexBuildResult::Written) result = ReplaceIndexFile(temp, target, cancel);
    if (result != IndexBuildResult::Written) DeleteFileW(temp.c_str());
    return result;
}

namespace {

// The builds of the program. Leaked on purpose: a worker the close stopped waiting for
// may still end after the statics are gone.
struct BuildState {
    std::mutex mutex;
    std::condition_variable changed;
    std::shared_ptr<std::atomic<bool>> newest;  // the cancel flag of the last build started
    int running = 0;                            // started and not ended
    bool writing = false;                       // one build at a time owns the temporary file
};

BuildState& Builds() {
    static BuildState* state = new BuildState;
    return *state;
}

void IndexBuildThread(const std::wstring& appDir, const FolderEnumeration& enumeration,
                      const std::atomic<bool>& cancel) noexcept {
    BuildState& state = Builds();
    bool writing = false;
    try {
        {
            std::unique_lock lock(state.mutex);
            state.changed.wait(lock, [&state] { return !state.writing; });
            state.writing = writing = true;
        }
        if (!cancel.load()) BuildIndexFile(appDir, enumeration, cancel);
    } catch (...) {
        // Errors of the build are swallowed: Index.dat keeps what it held.
    }
    std::lock_guard lock(state.mutex);
    if (writing) state.writing = false;
    --state.running;
    state.changed.notify_all();
}

}  // namespace

void StartIndexBuild(const std::wstring& appDir) {
    BuildState& state = Builds();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto enumeration = std::make_shared<const FolderEnumeration>(CurrentFolderEnumeration());
    {
        std::lock_guard lock(state.mutex);
        if (state.newest) state.newest->store(true);
        state.newest = cancel;
        ++state.running;
    }
    try {
        std::thread([appDir, enumeration, cancel] { IndexBuildThread(appDir, *enumeration, *cancel); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: this build does not happen, and the GUI never runs one.
        std::lock_guard lock(state.mutex);
        --state.running;
        state.changed.notify_all();
    }
}

void CancelIndexBuild() {
    BuildState& state = Builds();
    std::lock_guard lock(state.mutex);
    if (state.newest) state.newest->store(true);
}

bool WaitForIndexBuild(DWORD timeoutMs) {
    BuildState& state = Builds();
    std::unique_lock lock(state.mutex);
    return state.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&state] { return state.running == 0; });
}

void TForm1::BuildIndex() {
    // On a worker: the menu answers while a large tree is walked.
    StartIndexBuild(AppDir);
}

}  // namespace core
