#include "dialogs/item_properties.h"

namespace dialogs {

// TODO(dialogs): the tables and the rules of the item properties dialog.
const std::array<std::wstring_view, kTypeListCount> TypeCaptions{
    L"Link", L"Disc Or Folder", L"My Computer", L"My Documents", L"Resycle Bin", L"Desktop", L"Control Panel",
    L"Log Out", L"Shutdown", L"Restart", L"System...", L"Connecions...", L"Run", L"Weather", L"Plugin"};
const std::array<std::wstring_view, 3> ShowCaptions{L"Normal", L"Minimized", L"Maximized"};
const std::array<std::wstring_view, 10> TypeCommands{};
const std::array<std::wstring_view, 10> TypeParams{};
const std::array<std::wstring_view, kSystemToolCount> SystemToolNames{};
const std::array<std::wstring_view, kSystemToolCount> SystemToolCommands{};
const std::array<std::wstring_view, kSystemToolCount> SystemToolParams{};

TypeControls ControlsForType(int, int) { return {}; }
std::optional<DialogValues> FillValues(const core::TLNItem&) { return std::nullopt; }
int ShellObjectIndex(std::wstring_view, std::wstring_view) { return -1; }
int SystemToolIndex(std::wstring_view) { return 0; }
std::optional<std::wstring> ConnectionName(std::wstring_view) { return std::nullopt; }
std::wstring ConnectionParams(std::wstring_view) { return {}; }
int EntryIndexOrAdd(std::vector<std::wstring>&, std::wstring_view) { return -1; }
IconRef DefaultIcon(int, std::wstring_view, std::wstring_view) { return {}; }
std::wstring DefaultCaption(int, std::wstring_view, std::wstring_view, std::wstring_view) { return {}; }
std::optional<std::wstring> CheckValues(const DialogValues&) { return std::nullopt; }
void WriteItemNode(ui::XmlNode, const DialogValues&) {}
std::wstring AbbreviateIconPath(std::wstring_view path, std::wstring_view, std::wstring_view) {
    return std::wstring(path);
}
std::wstring RelativeToProgramDrive(std::wstring_view path, std::wstring_view) { return std::wstring(path); }
std::wstring CaptionForFile(std::wstring_view) { return {}; }
std::wstring ExpandSystemRoot(std::wstring_view path, std::wstring_view) { return std::wstring(path); }
std::wstring_view ExtensionOf(std::wstring_view) { return {}; }

}  // namespace dialogs
