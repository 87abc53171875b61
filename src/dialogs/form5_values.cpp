#include "dialogs/form5_values.h"

#include "dialogs/language.h"
#include "ui/ini.h"
#include "ui/strings.h"

#include <windows.h>

#include <algorithm>

namespace dialogs {
namespace {

constexpr wchar_t kInfo[] = L"Info";

bool IsDotEntry(const wchar_t* name) { return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0; }

// Every entry of the folder but "." and "..", or only its sub-folders.
std::vector<std::wstring> Entries(const std::wstring& folder, bool foldersOnly) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (IsDotEntry(found.cFileName)) continue;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder || !foldersOnly) names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void SortRows(std::vector<TData>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const TData& a, const TData& b) {
        const int order = CompareStringOrdinal(a.Name.c_str(), static_cast<int>(a.Name.size()), b.Name.c_str(),
                                               static_cast<int>(b.Name.size()), TRUE);
        if (order != CSTR_EQUAL) return order == CSTR_LESS_THAN;
        return a.Name < b.Name;  // names that differ only in case still have one order
    });
}

}  // namespace

const std::array<std::wstring_view, 4> MouseEnterEffects{L"No effect", L"Glow", L"Zoom", L"Roll"};
const std::array<std::wstring_view, 6> ClickEffects{L"No effect", L"Glow", L"Zoom", L"Roll", L"Bounce", L"Ripple"};
const std::array<std::wstring_view, 7> MenuEffects{L"No effect", L"Fade In", L"Roll 1", L"Roll2",
                                                   L"Vista",     L"Center",  L"Noise"};

ShownValue ShowInRange(int wanted, int minimum, int maximum) {
    return {std::clamp(wanted, minimum, maximum), wanted >= minimum && wanted <= maximum};
}

int DelayToBar(int ms) { return static_cast<int>(ui::RoundEven(static_cast<double>(ms) / 100.0)); }

std::vector<TData> ListSkins(const std::wstring& folder) {
    std::vector<TData> rows;
    for (std::wstring& name : Entries(folder, true)) {
        const ui::Ini ini(folder + name + L"\\skin.ini");
        TData row;
        row.Author = ini.ReadString(kInfo, L"Autor", L"");
        row.Comments = ini.ReadString(kInfo, L"Comments", L"");
        row.Name = std::move(name);
        rows.push_back(std::move(row));
    }
    SortRows(rows);
    return rows;
}

std::vector<TData> ListLanguages(const std::wstring& folder) {
    constexpr std::wstring_view kExtension = L".ini";
    std::vector<TData> rows;
    for (const std::wstring& file : Entries(folder, false)) {
        if (file.size() <= kExtension.size() || std::wstring_view(file).substr(file.size() - kExtension.size()) != kExtension)
            continue;
        TData row;
        row.Name = file.substr(0, file.size() - kExtension.size());
        // Through the language reader, so the author's name decodes as the texts do.
        const std::wstring* author = ReadLanguageFile(folder + file).Value(kInfo, L"Autor");
        row.Author = author ? *author : std::wstring();
        rows.push_back(std::move(row));
    }
    SortRows(rows);
    return rows;
}

int RowNamed(const std::vector<TData>& rows, const std::wstring& name) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].Name == name) return static_cast<int>(i);
    return -1;
}

}  // namespace dialogs
