#include "core/menu_document.h"

#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"

#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <utility>

namespace core {

using Microsoft::WRL::ComPtr;

// Text nodes keep their spaces (captions need them); a number written by hand
// across lines or with blanks around it is still that number.
std::optional<int> ParseItemNumber(std::wstring_view text) { return ui::ParseInt(ui::TrimSpaces(text)); }

namespace {

int NumberField(ui::XmlNode item, std::wstring_view name) {
    std::wstring text = item.Child(name).Text();
    if (text.empty()) return 0;
    if (auto value = ParseItemNumber(text)) return *value;
    throw ConversionError("'" + ui::WideToUtf8(text) + "' in " + ui::WideToUtf8(name) +
                          " is not a valid integer value");
}

// Text content only: an ID holding markup is not one the cache writer made.
bool HoldsOnlyText(const ui::XmlNode& node) {
    auto children = node.ChildNodes();
    if (children.empty()) return false;
    for (auto& child : children) {
        DOMNodeType type = NODE_INVALID;
        if (child.Get()->get_nodeType(&type) != S_OK) return false;
        if (type != NODE_TEXT && type != NODE_CDATA_SECTION) return false;
    }
    return true;
}

// MSXML's save() flushes on close, but only FlushFileBuffers promises the bytes
// are on the disk before the move makes them the menu.
bool FlushFile(const std::wstring& path) {
    ui::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.Get());
}

bool SaveAtomic(const ui::XmlDocument& doc, const std::wstring& path) {
    const std::wstring temp = ui::AtomicTempName(path);
    if (doc.Save(temp) && FlushFile(temp) && ui::ReplaceFileWith(temp, path)) return true;
    DeleteFileW(temp.c_str());
    return false;
}

}  // namespace

void LoadItemList(TLNItemList& list, ui::XmlNode element) {
    for (auto& node : element.ElementChildren()) {
        // The order of the lookups is the order in which missing fields are added.
        TLNItem item;
        item.Run = node.Child(L"Run").Text();
        item.ImageFile = node.Child(L"ImageFile").Text();
        item.Index = NumberField(node, L"Index");
        item.Caption = node.Child(L"Caption").Text();
        item.RunVis = NumberField(node, L"RunVis");
        item.Params = node.Child(L"Params").Text();
        item.Type = NumberField(node, L"Type");
        if (auto param1 = node.Child(L"Param1"); param1.HasValue()) item.Param1 = param1.Text();
        list.push_back(std::move(item));
    }
}

bool IsFolderMenuItem(const PerLevel<TLNItemList>& lists, const PerLevel<int>& selectedIndex,
                      const PerLevel<std::uint8_t>& scrollMode, int scrollTop, int level) {
    if (level != 2 && level != 3) return false;
    const TLNItemList& parent = lists[level - 1];
    const int row = selectedIndex[level - 1] - 1;
    if (row < 0) return false;
    // A scrolled parent shows its entries from ScrollTop on; the selection may also
    // be stale (a row of a list since rebuilt shorter).
    const long long index = row + static_cast<long long>(scrollMode[level - 1]) * scrollTop;
    if (index < 0 || index >= static_cast<long long>(parent.size())) return false;
    const TLNItem& item = parent[static_cast<size_t>(index)];
    return item.Type == 1 && item.Param1 == L"1";
}

bool IsValidCacheId(std::wstring_view id) {
    if (id.empty() || id.size() > 5) return false;
    int value = 0;
    for (wchar_t c : id) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    return value <= 99998;
}

std::optional<std::wstring> CachedImagePath(const std::wstring& cacheDir, std::wstring_view id,
                                            std::wstring_view prefix, std::wstring_view ext) {
    if (!IsValidCacheId(id)) return std::nullopt;
    std::wstring path = cacheDir;
    path.append(prefix).append(id).append(ext);
    return path;
}

void DeleteCachedImages(ui::XmlNode node, const std::wstring& cacheDir,
                        const std::wstring& imageExt) {
    if (node.IsElement() && node.Name() == L"ID" && HoldsOnlyText(node)) {
        const std::wstring id = node.Text();
        auto strip = CachedImagePath(cacheDir, id, L"", imageExt);
        auto captions = CachedImagePath(cacheDir, id, L"s", imageExt);
        if (strip && captions && ui::FileExists(*strip)) {
            DeleteFileW(strip->c_str());
            DeleteFileW(captions->c_str());
        }
    }
    for (auto& child : node.ChildNodes()) DeleteCachedImages(child, cacheDir, imageExt);
}

bool MoveItemInDocument(ui::XmlNode root, int from, int to) {
    const int count = static_cast<int>(root.ElementCount());
    if (from < 0 || from >= count || to < 0 || to > count) return false;
    ui::XmlNode moving = root.ElementAt(static_cast<size_t>(from));
    ui::XmlNode copy = moving.CloneDeep();
    root.RemoveChild(moving);
    // Removing the child shifts every later position down by one.
    root.InsertElementAt(copy, static_cast<size_t>(from < to ? to - 1 : to));
    return true;
}

bool ReadShortcut(ShortcutInfo& info) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&link))))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) return false;
    if (FAILED(file->Load(info.LinkFile.c_str(), STGM_READ))) return false;

    // Filled into a copy, so a failure above or an exception here leaves the
    // caller's record as it was; a getter that fails keeps that field's value.
    ShortcutInfo out = info;
    std::wstring buffer(261, L'\0');
    auto take = [&buffer](HRESULT hr, std::wstring& field) {
        if (SUCCEEDED(hr)) field.assign(buffer.c_str());
        buffer.assign(261, L'\0');
    };
    WIN32_FIND_DATAW findData{};
    HRESULT hr = link->GetPath(buffer.data(), 256, &findData, SLGP_UNCPRIORITY);
    if (SUCCEEDED(hr)) out.FindData = findData;
    take(hr, out.Target);
    take(link->GetDescription(buffer.data(), 261), out.Description);
    take(link->GetArguments(buffer.data(), 261), out.Arguments);
    take(link->GetWorkingDirectory(buffer.data(), 261), out.WorkingDir);
    int iconIndex = 0;
    hr = link->GetIconLocation(buffer.data(), 261, &iconIndex);
    if (SUCCEEDED(hr)) out.IconIndex = iconIndex;
    take(hr, out.IconFile);
    WORD hotKey = 0;
    if (SUCCEEDED(link->GetHotkey(&hotKey))) out.HotKey = hotKey;
    int showCmd = 0;
    if (SUCCEEDED(link->GetShowCmd(&showCmd))) out.ShowCmd = showCmd;
    info = std::move(out);
    return true;
}

MenuStore::SaveResult MenuStore::RefuseMenu() {
    if (!refusedOnce_) {
        refusedOnce_ = true;
        warningPending_ = true;
    }
    return SaveResult::Refused;
}

bool MenuStore::CheckMenuWritable(const ui::XmlDocument& doc) {
    // A document that never parsed holds nothing of the user's menu: writing it
    // would replace a file that may only need a repair by hand.
    if (state_ == LoadState::NotLoaded || state_ == LoadState::ParseFailed || !doc.HasRoot()) {
        RefuseMenu();
        return false;
    }
    return true;
}

MenuStore::SaveResult MenuStore::SaveMenu(const ui::XmlDocument& doc,
                                          const std::wstring& menuPath) {
    if (!CheckMenuWritable(doc)) return SaveResult::Refused;
    return SaveAtomic(doc, menuPath) ? SaveResult::Saved : SaveResult::Failed;
}

MenuStore::SaveResult MenuStore::SaveBackup(const ui::XmlDocument& doc,
                                            const std::wstring& bakPath) {
    // Silent: keeping the good copy is the point, and the user learns of a bad menu
    // from the menu saves.
    if (state_ != LoadState::Good || !doc.HasRoot()) return SaveResult::Refused;
    return SaveAtomic(doc, bakPath) ? SaveResult::Saved : SaveResult::Failed;
}

bool MenuStore::TakeRefusalWarning() noexcept { return std::exchange(warningPending_, false); }

bool MenuStore::RecoverMenuFile(const std::wstring& menuPath) {
    const std::wstring temp = ui::AtomicTempName(menuPath);
    if (ui::FileExists(menuPath) || !ui::FileExists(temp)) return false;
    {
        // A truncated write does not parse; a complete one of something else has
        // another root. Either stays where it is for the user to look at.
        ui::XmlDocument candidate;
        if (!candidate.Load(temp) || !candidate.HasRoot() || candidate.Root().Name() != L"Items")
            return false;
    }
    return ui::ReplaceFileWith(temp, menuPath);
}

}  // namespace core
