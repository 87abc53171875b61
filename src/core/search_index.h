// The search index: index.txt names the folders, Index.dat lists what they hold.
#pragma once

#include "core/index_walk.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Both live in the program folder. The quick-run box reads the same Index.dat.
inline constexpr wchar_t kIndexListFile[] = L"index.txt";
inline constexpr wchar_t kIndexDataFile[] = L"Index.dat";
// Index.dat holds one full path per line, each line ended by kIndexLineEnd, in the
// marked-text encoding (ui::EncodeMarkedText): ANSI byte for byte while the code page
// holds every path, otherwise the whole file is UTF-8 behind kIndexUtf8Mark.
inline constexpr char kIndexLineEnd[] = "\r\n";
inline constexpr char kIndexUtf8Mark[] = "\xEF\xBB\xBF";

// The folder lines of index.txt, in file order. Lines end at CR LF, lone CR or lone
// LF; blank lines are skipped. A missing or unreadable file has none.
std::vector<std::wstring> ParseIndexList(std::string_view bytes);
std::vector<std::wstring> ReadIndexList(const std::wstring& path);
// One line per folder, each ended by CR LF, in the marked-text encoding, replaced
// atomically. False when the file could not be written.
bool WriteIndexList(const std::wstring& path, const std::vector<std::wstring>& folders);

// Index.dat's text as the walk produces it, written to an open file in pieces: ANSI
// while every path so far fits the code page; at the first that does not, what was
// written becomes UTF-8 behind the mark and the rest follows in UTF-8.
class IndexFileWriter : public IndexSink {
public:
    explicit IndexFileWriter(HANDLE file);
    bool Add(std::wstring_view path) override;
    // Writes what is pending and flushes the file. False when any write failed.
    bool Finish();

private:
    bool WritePending();
    bool SwitchToUtf8();
    bool WriteBytes(std::string_view bytes);

    HANDLE file_;
    std::wstring pending_;
    bool utf8_ = false;
    bool failed_ = false;
};

enum class IndexBuildResult { Written, Cancelled, Failed };

// The whole build on the calling thread: index.txt made empty when missing, each of its
// folders walked into a temporary file beside Index.dat, which then replaces Index.dat.
// A failed or cancelled build removes its temporary file and leaves Index.dat as it was.
IndexBuildResult BuildIndexFile(const std::wstring& appDir, const FolderEnumeration& enumeration,
                                const std::atomic<bool>& cancel);

// The build on a worker thread of its own; the caller never waits. A build still running
// is cancelled, and the new one starts once it has let go of the temporary file.
void StartIndexBuild(const std::wstring& appDir);
void CancelIndexBuild();
// How long the close waits for a cancelled build to end.
inline constexpr DWORD kIndexBuildCloseWaitMs = 5000;
// True when no build runs any more; false when one still did after `timeoutMs`.
bool WaitForIndexBuild(DWORD timeoutMs);

}  // namespace core
