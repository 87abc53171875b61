// Folder menus: a folder item's sub-menu lists the folder's entries.
#include "core/folder_menu.h"

#include "core/form1.h"
#include "core/startup.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <oleauto.h>

#include <climits>

namespace core {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// "C:\" or "\\server\share\": what keeps its trailing backslash.
bool IsRootPath(std::wstring_view path) {
    if (path.size() == 3 && path[1] == L':' && IsSeparator(path[2])) return true;
    if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1]) || !IsSeparator(path.back())) return false;
    const std::wstring_view inner = path.substr(2, path.size() - 3);
    const size_t slash = inner.find_first_of(L"\\/");
    return slash != std::wstring_view::npos && slash > 0 && slash + 1 < inner.size() &&
           inner.find_first_of(L"\\/", slash + 1) == std::wstring_view::npos;
}

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    if (a.size() > static_cast<size_t>(INT_MAX)) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool g_keepListings = false;

[[noreturn]] void FailDom(const char* what) { throw ui::XmlError(what); }

using Microsoft::WRL::ComPtr;

ComPtr<IXMLDOMNode> FirstChild(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> child;
    if (node->get_firstChild(&child) != S_OK || !child) FailDom("IXMLDOMNode::get_firstChild");
    return child;
}

ComPtr<IXMLDOMNode> NextSibling(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNode> next;
    if (node->get_nextSibling(&next) != S_OK || !next) FailDom("IXMLDOMNode::get_nextSibling");
    return next;
}

void SetNodeValue(IXMLDOMNode* textNode, std::wstring_view text) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!V_BSTR(&value)) FailDom("SysAllocStringLen");
    const HRESULT hr = textNode->put_nodeValue(value);
    VariantClear(&value);
    if (hr != S_OK) FailDom("IXMLDOMNode::put_nodeValue");
}

// A generated row with placeholder texts in Run and Caption: every further row is a
// copy of it with those two texts replaced, a handful of DOM calls instead of dozens.
ui::XmlNode AppendRowPattern(ui::XmlNode subitem) {
    ui::XmlNode item = subitem.AppendElement(L"item");
    item.AppendElement(L"Run").SetText(L"-");
    item.AppendElement(L"Caption").SetText(L"-");
    item.AppendElement(L"ImageFile");
    item.AppendElement(L"Index").SetText(L"0");
    item.AppendElement(L"Type").SetText(L"55");
    item.AppendElement(L"subitem");
    item.AppendElement(L"RunVis").SetText(L"0");
    item.AppendElement(L"Params");
    return item;
}

void SetRowTexts(IXMLDOMNode* item, const FolderMenuRow& row) {
    const ComPtr<IXMLDOMNode> run = FirstChild(item);
    SetNodeValue(FirstChild(run.Get()).Get(), row.Run);
    SetNodeValue(FirstChild(NextSibling(run.Get()).Get()).Get(), row.Caption);
}

}  // namespace

std::wstring ParentFolderName(const std::wstring& path) {
    std::wstring start = path;
    while (start.size() > 1 && IsSeparator(start.back())) start.pop_back();
    start += L"\\..";
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFullPathNameW(start.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return path;  // not a path the system can resolve: nothing above it is known
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);  // too small: n is the size needed, terminator included
    }
    if (full.size() > 1 && IsSeparator(full.back()) && !IsRootPath(full)) full.pop_back();
    return full;
}

std::optional<std::vector<std::wstring>> ParseFolderFilter(std::wstring_view filter) {
    if (ui::TrimSpaces(filter).empty()) return std::nullopt;
    std::vector<std::wstring> extensions;
    size_t start = 0;
    for (;;) {
        const size_t end = filter.find(L';', start);
        std::wstring entry(filter.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (!entry.empty() && entry[0] != L'.') entry.insert(entry.begin(), L'.');
        extensions.push_back(std::move(entry));
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    return extensions;
}

bool FilterAdmits(const std::vector<std::wstring>& extensions, std::wstring_view name) {
    const size_t dot = name.rfind(L'.');
    const std::wstring_view extension = dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
    for (const std::wstring& entry : extensions)
        if (SameTextIgnoringCase(entry, extension)) return true;
    return false;
}

std::optional<std::vector<FolderMenuRow>> FolderMenuRows(const std::wstring& folder, std::wstring_view filter,
                                                         bool addParent) {
    if (!ui::DirectoryExists(folder)) return std::nullopt;
    const std::optional<std::vector<std::wstring>> extensions = ParseFolderFilter(filter);
    std::vector<FolderMenuRow> rows;
    if (addParent) rows.push_back({ui::IncludeTrailingBackslash(ParentFolderName(folder)), L".."});
    const std::wstring dir = ui::IncludeTrailingBackslash(folder);
    WIN32_FIND_DATAW data{};
    ui::UniqueFind find(FindFirstFileExW((dir + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return rows;
    do {
        const std::wstring_view name(data.cFileName);
        if (name.empty() || name == L"." || name == L"..") continue;
        if (extensions && !FilterAdmits(*extensions, name)) continue;
        rows.push_back({dir + data.cFileName, std::wstring(name)});
    } while (FindNextFileW(find.Get(), &data));
    return rows;
}

void FillFolderMenu(ui::XmlNode subitem, const std::vector<FolderMenuRow>& rows) {
    // First child after first child: a node list indexed from its start makes a long
    // listing's removal quadratic.
    IXMLDOMNode* node = subitem.Get();
    for (ComPtr<IXMLDOMNode> child; node->get_firstChild(child.ReleaseAndGetAddressOf()) == S_OK && child;) {
        ComPtr<IXMLDOMNode> removed;
        if (node->removeChild(child.Get(), &removed) != S_OK) FailDom("IXMLDOMNode::removeChild");
    }
    if (rows.empty()) return;
    const ui::XmlNode first = AppendRowPattern(subitem);
    for (size_t i = 1; i < rows.size(); ++i) {
        const ui::XmlNode copy = first.CloneDeep();
        SetRowTexts(copy.Get(), rows[i]);
        ComPtr<IXMLDOMNode> added;
        if (subitem.Get()->appendChild(copy.Get(), &added) != S_OK) FailDom("IXMLDOMNode::appendChild");
    }
    SetRowTexts(first.Get(), rows[0]);
}

void SetKeepListingsForTests(bool keep) { g_keepListings = keep; }

bool TForm1::BuildFolderMenu(const std::wstring& folder, const std::wstring& filter, bool addParent,
                             ui::XmlNode subitem) {
    ScrollTop = 0;
    if (g_keepListings) return true;
    const std::optional<std::vector<FolderMenuRow>> rows = FolderMenuRows(folder, filter, addParent);
    FillFolderMenu(subitem, rows ? *rows : std::vector<FolderMenuRow>());
    if (!rows) return true;
    // The rows are kept in the menu file until the next fill. A hover is no edit: a
    // save that is refused or fails is not reported, and the rows are shown all the same.
    MenuFile.SaveMenu(XMLDocument1, MenuPath());
    return true;
}

}  // namespace core
