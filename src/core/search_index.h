// The search index: index.txt names the folders, Index.dat lists what they hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Both live in the program folder. The quick-run box reads the same Index.dat.
inline constexpr wchar_t kIndexListFile[] = L"index.txt";
inline constexpr wchar_t kIndexDataFile[] = L"Index.dat";

// The folder lines of index.txt, in file order. Lines end at CR LF, lone CR or lone
// LF; blank lines are skipped. A missing or unreadable file has none.
std::vector<std::wstring> ParseIndexList(std::string_view bytes);
std::vector<std::wstring> ReadIndexList(const std::wstring& path);
// One line per folder, each ended by CR LF, in the marked-text encoding, replaced
// atomically. False when the file could not be written.
bool WriteIndexList(const std::wstring& path, const std::vector<std::wstring>& folders);

}  // namespace core
