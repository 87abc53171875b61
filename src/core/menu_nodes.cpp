// The document side of the menu edits.
#include "core/menu_nodes.h"

#include "render/row_geometry.h"
#include "ui/files.h"

namespace core {
namespace {

void AppendFields(ui::XmlNode item, const std::vector<ItemField>& fields) {
    for (const auto& [name, value] : fields) item.AppendElement(name).SetText(value);
}

// A new element can only be made as a child; it is made last and then moved in
// front of the element at the position.
ui::XmlNode NewItemAt(ui::XmlNode container, size_t position) {
    if (position > container.ElementCount()) throw ui::XmlError("insert position out of range");
    ui::XmlNode item = container.AppendElement(L"item");
    if (position + 1 < container.ElementCount()) container.InsertElementAt(item, position);
    return item;
}

}  // namespace

std::vector<ItemField> NewShortcutFields(const std::wstring& caption, const std::wstring& systemDir, bool separator) {
    return {{L"Run", L""},           {L"Caption", caption},
            {L"ImageFile", systemDir + L"shell32.dll"},
            {L"Index", L"23"},       {L"Type", separator ? L"777" : L"0"},
            {L"subitem", L""},       {L"RunVis", L"0"},
            {L"Params", L""}};
}

ui::XmlNode InsertItemNode(ui::XmlNode container, size_t position, const std::vector<ItemField>& fields) {
    ui::XmlNode item = NewItemAt(container, position);
    AppendFields(item, fields);
    return item;
}

ui::XmlNode InsertGroupNode(ui::XmlNode container, size_t position, const std::wstring& groupCaption,
                            const std::wstring& itemCaption, const std::wstring& systemDir) {
    const std::wstring image = systemDir + L"shell32.dll";
    ui::XmlNode group = NewItemAt(container, position);
    AppendFields(group, {{L"Run", L""}, {L"ImageFile", image}, {L"Index", L"23"}, {L"Type", L"2"}});
    ui::XmlNode children = group.AppendElement(L"subitem");
    AppendFields(children.AppendElement(L"item"), {{L"Run", L""},
                                                    {L"ImageFile", image},
                                                    {L"Index", L"23"},
                                                    {L"Type", L"0"},
                                                    {L"subitem", L""},
                                                    {L"RunVis", L"0"},
                                                    {L"Caption", itemCaption},
                                                    {L"Params", L""}});
    AppendFields(group, {{L"RunVis", L"0"}, {L"Caption", groupCaption}, {L"Params", L""}});
    return group;
}

int SelectedPosition(int level, const PerLevel<int>& selectedIndex, const PerLevel<std::uint8_t>& scrollMode,
                     int scrollTop) {
    // A level without a selected row has no position, scrolled or not.
    if (selectedIndex[level] < 1) return -1;
    return selectedIndex[level] - 1 + scrollMode[level] * scrollTop;
}

std::optional<ui::XmlNode> LevelContainer(ui::XmlNode root, int level, const PerLevel<int>& selectedIndex,
                                          const PerLevel<std::uint8_t>& scrollMode, int scrollTop) {
    ui::XmlNode container = root;
    for (int above = 1; above < level; ++above) {
        const int position = SelectedPosition(above, selectedIndex, scrollMode, scrollTop);
        if (position < 0 || position >= static_cast<int>(container.ElementCount())) return std::nullopt;
        container = container.ElementAt(static_cast<size_t>(position)).Child(L"subitem");
    }
    return container;
}

void FitForLastLevel(ui::XmlNode item) {
    if (auto type = item.FindChild(L"Type"); type && ParseItemNumber(type->Text()) == 2) type->SetText(L"1");
    if (auto param1 = item.FindChild(L"Param1"); param1 && param1->Text() == L"1") param1->SetText(L"0");
}

std::wstring DroppedFileCaption(const std::wstring& path) {
    std::wstring name = ui::ExtractFileName(path);
    const std::wstring ext = ui::ExtractFileExt(name);
    // Case-sensitive: "Setup.EXE" keeps its extension.
    if (ext == L".exe" || ext == L".lnk") name.resize(name.size() - ext.size());
    return name;
}

std::optional<DroppedFile> FirstDroppedFile(HDROP drop) {
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return std::nullopt;
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    DroppedFile file;
    file.Path.assign(static_cast<size_t>(length) + 1, L'\0');
    file.Path.resize(DragQueryFileW(drop, 0, file.Path.data(), length + 1));
    if (file.Path.empty()) return std::nullopt;
    DragQueryPoint(drop, &file.Point);
    return file;
}

std::optional<std::vector<ItemField>> DroppedItemFields(const std::wstring& path) {
    const bool folder = ui::DirectoryExists(path);
    if (!folder && !ui::FileExists(path)) return std::nullopt;
    // Not a shortcut: every field stays empty and the icon index 0.
    ShortcutInfo link;
    link.LinkFile = path;
    ReadShortcut(link);
    const std::wstring run = ui::FileExists(link.Target) ? link.Target : path;
    const std::wstring caption = link.Description.empty() ? DroppedFileCaption(path) : link.Description;
    return std::vector<ItemField>{{L"Run", run},
                                  {L"ImageFile", link.IconFile},
                                  {L"Index", std::to_wstring(link.IconIndex)},
                                  {L"Type", folder ? L"1" : L"0"},
                                  {L"Caption", caption},
                                  {L"Params", link.Arguments},
                                  {L"subitem", L""},
                                  {L"RunVis", L"0"}};
}

int DropPosition(const TLNItemList& items, int y, int first, bool scrolls, int showCount, const SkinMetrics& skin) {
    const int position = ItemIndexAtY(items, y, first, scrolls, showCount, skin);
    if (position >= 0) return position;
    // In a scrolling level the band below the header is the up arrow, not a row.
    if (scrolls || items.empty()) return -1;
    if (y >= skin.HeaderSize && y <= ItemTop(items, 0, 1, skin)) return 0;
    return -1;
}

}  // namespace core
