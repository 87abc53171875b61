#include "dialogs/item_properties.h"

#include "core/menu_nodes.h"
#include "ui/strings.h"

namespace dialogs {

namespace {
constexpr std::wstring_view kMyComputer = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr std::wstring_view kControlPanel =
    L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}";
constexpr std::wstring_view kRundll32 = L"Rundll32";
constexpr std::wstring_view kControl = L"control";
}  // namespace

const std::array<std::wstring_view, kTypeListCount> TypeCaptions{
    L"Link", L"Disc Or Folder", L"My Computer", L"My Documents", L"Resycle Bin", L"Desktop", L"Control Panel",
    L"Log Out", L"Shutdown", L"Restart", L"System...", L"Connecions...", L"Run", L"Weather", L"Plugin"};
const std::array<std::wstring_view, 3> ShowCaptions{L"Normal", L"Minimized", L"Maximized"};

const std::array<std::wstring_view, 10> TypeCommands{L"",
                                                     L"",
                                                     kMyComputer,
                                                     L"::{450D8FBA-AD25-11D0-98A8-0800361B1103}",
                                                     L"::{645FF040-5081-101B-9F08-00AA002F954E}",
                                                     L"::{00021400-0000-0000-C000-000000000046}",
                                                     kControlPanel,
                                                     L"shutdown.exe",
                                                     L"shutdown.exe",
                                                     L"shutdown.exe"};
const std::array<std::wstring_view, 10> TypeParams{L"", L"", L"", L"", L"", L"", L"",
                                                   L"-l -t 00", L"-s -t 00", L"-r -t 00"};

const std::array<std::wstring_view, kSystemToolCount> SystemToolNames{
    L"Accessibility Controls",  L"Add Hardware Wizard",     L"Add/Remove Programs",
    L"Administrative Tools",    L"Automatic Updates",       L"Bluetooth Transfer Wizard",
    L"Calculator",              L"Certificate Manager",     L"Character Map",
    L"Check Disk Utility",      L"Clipboard Viewer",        L"Command Prompt",
    L"Component Services",      L"Computer Management",     L"Date and Time Properties",
    L"DDE Shares",              L"Device Manager",          L"Direct X Troubleshooter",
    L"Disk Cleanup Utility",    L"Disk Defragment",         L"Disk Management",
    L"Disk Partition Manager",  L"Display Properties",      L"Themes",
    L"Event Viewer",            L"Folders Properties",      L"Game Controllers",
    L"Group Policy Editor (XP Prof)", L"Internet Properties", L"Keyboard Properties",
    L"Mouse Properties",        L"Network Connections",     L"Phone and Modem Options",
    L"Power Configuration",     L"Scheduled Tasks",         L"Security Center",
    L"Services",                L"Sounds and Audio",        L"System Properties",
    L"Task Manager",            L"Windows Firewall",        L"Windows Update Launches"};

const std::array<std::wstring_view, kSystemToolCount> SystemToolCommands{
    kRundll32,      kRundll32,      kRundll32,      kControl,       kRundll32,      L"fsquirt",
    L"calc",        L"certmgr.msc", L"charmap",     L"chkdsk",      L"clipbrd",     L"cmd",
    L"dcomcnfg",    L"compmgmt.msc", kRundll32,     L"ddeshare",    L"devmgmt.msc", L"dxdiag",
    L"cleanmgr",    L"dfrg.msc",    L"diskmgmt.msc", L"diskpart",   kRundll32,      kControl,
    L"eventvwr.msc", kControl,      kRundll32,      L"gpedit.msc",  kRundll32,      kControl,
    kControl,       kControl,       kRundll32,      kRundll32,      kControl,       kRundll32,
    L"services.msc", kRundll32,     kRundll32,      L"taskmgr",     kRundll32,      L"wupdmgr"};

// A "Rundll32" tool opens its applet through shell32; a "control" tool names its
// canonical word; every other tool is started with its own name again.
const std::array<std::wstring_view, kSystemToolCount> SystemToolParams{
    L"shell32,Control_RunDLL access.cpl",
    L"shell32,Control_RunDLL hdwwiz.cpl",
    L"shell32,Control_RunDLL appwiz.cpl",
    L"admintools",
    L"shell32,Control_RunDLL wuaucpl.cpl",
    L"fsquirt",
    L"calc",
    L"certmgr.msc",
    L"charmap",
    L"chkdsk",
    L"clipbrd",
    L"cmd",
    L"dcomcnfg",
    L"compmgmt.msc",
    L"shell32,Control_RunDLL timedate.cpl",
    L"ddeshare",
    L"devmgmt.msc",
    L"dxdiag",
    L"cleanmgr",
    L"dfrg.msc",
    L"diskmgmt.msc",
    L"diskpart",
    L"shell32,Control_RunDLL desk.cpl",
    L"color",
    L"eventvwr.msc",
    L"folders",
    L"shell32,Control_RunDLL joy.cpl",
    L"gpedit.msc",
    L"shell32,Control_RunDLL inetcpl.cpl",
    L"keyboard",
    L"mouse",
    L"netconnections",
    L"shell32,Control_RunDLL telephon.cpl",
    L"shell32,Control_RunDLL powercfg.cpl",
    L"schedtasks",
    L"shell32,Control_RunDLL wscui.cpl",
    L"services.msc",
    L"shell32,Control_RunDLL mmsys.cpl",
    L"shell32,Control_RunDLL sysdm.cpl",
    L"taskmgr",
    L"shell32,Control_RunDLL firewall.cpl",
    L"wupdmgr"};

namespace {
bool InRange(int value, int first, int last) { return value >= first && value <= last; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "C:" of a path that begins with a drive letter and a colon; empty otherwise.
std::wstring_view DriveOf(std::wstring_view path) {
    if (path.size() < 2 || !IsDriveLetter(path[0]) || path[1] != L':') return {};
    return path.substr(0, 2);
}

wchar_t UpperLetter(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// The type index is read from a combo box and the entry from a list; a value from
// neither must not reach a table.
bool WritableIndexes(const DialogValues& values) {
    if (!InRange(values.TypeIndex, kGroupType, kTypeListCount - 1)) return false;
    if (values.TypeIndex == kSystemType && !InRange(values.EntryIndex, 0, kSystemToolCount - 1)) return false;
    return true;
}

void SetChild(ui::XmlNode& node, std::wstring_view name, std::wstring_view text) { node.Child(name).SetText(text); }

void RemoveSubItems(const ui::XmlNode& node) {
    auto subitem = node.FindChild(L"subitem");
    if (!subitem) return;
    for (const ui::XmlNode& child : subitem->ChildNodes()) subitem->RemoveChild(child);
}
}  // namespace

TypeControls ControlsForType(int typeIndex, int level) {
    TypeControls controls;
    if (!InRange(typeIndex, kGroupType, kTypeListCount - 1)) return controls;
    controls.Target = typeIndex == kLinkType || typeIndex == kFolderType;
    controls.Caption = InRange(typeIndex, kGroupType, kConnectionType) || typeIndex == kPluginType;
    controls.Params = controls.Target || typeIndex == kRunType || typeIndex == kWeatherType || typeIndex == kPluginType;
    controls.Show = InRange(typeIndex, kLinkType, 6);
    // The third level is the last: a folder there cannot open as a further sub-menu.
    controls.PopupMenuBox = typeIndex == kFolderType && level != 3;
    controls.ResultListBox = typeIndex == kRunType;
    if (typeIndex == kSystemType) controls.List = EntryList::SystemTools;
    if (typeIndex == kConnectionType) controls.List = EntryList::Connections;
    if (typeIndex == kPluginType) controls.List = EntryList::Plugins;
    return controls;
}

std::optional<DialogValues> FillValues(const core::TLNItem& item) {
    DialogValues values;
    values.IconFile = item.ImageFile;
    values.IconIndex = item.Index;
    // Kinds whose show list is disabled open with "Normal" (ShowIndex's default); the
    // tool number a system tool keeps in RunVis is no show command.
    const int storedShow = InRange(item.RunVis, 0, 2) ? item.RunVis : 0;
    switch (item.Type) {
    case 0:
    case 1:
        values.TypeIndex = item.Type;
        values.Target = item.Run;
        values.Params = item.Params;
        values.Caption = item.Caption;
        values.ShowIndex = storedShow;
        values.PopupMenuChecked = item.Type == 1 && item.Param1 == L"1";
        break;
    case 2:
        values.TypeIndex = kGroupType;
        values.TypeListEnabled = false;
        values.Caption = item.Caption;
        break;
    case 3:
        values.TypeIndex = ShellObjectIndex(item.Run, item.Params);
        values.KeepStoredKind = values.TypeIndex == kGroupType;
        values.Caption = item.Caption;
        values.ShowIndex = storedShow;
        break;
    case 4:
        values.TypeIndex = kSystemType;
        values.EntryIndex = InRange(item.RunVis, 0, kSystemToolCount - 1) ? item.RunVis : SystemToolIndex(item.Run);
        values.EntryText = SystemToolNames[static_cast<size_t>(values.EntryIndex)];
        values.Caption = item.Caption;
        break;
    case 5:
        values.TypeIndex = kConnectionType;
        values.EntryText = ConnectionName(item.Params).value_or(std::wstring());
        values.Caption = item.Caption;
        break;
    case 6:
        values.TypeIndex = kRunType;
        values.ResultListChecked = item.Run == L"1";
        values.Params = item.Params;
        break;
    case 7:
        values.TypeIndex = kWeatherType;
        values.Params = item.Params;
        values.IconButtonEnabled = false;
        break;
    case 11:
        values.TypeIndex = kPluginType;
        values.EntryText = item.Run;
        values.Params = item.Params;
        values.Caption = item.Caption;
        break;
    default:
        return std::nullopt;
    }
    return values;
}

int ShellObjectIndex(std::wstring_view run, std::wstring_view params) {
    for (size_t i = 2; i < TypeCommands.size(); ++i)
        if (TypeCommands[i] == run && TypeParams[i] == params) return static_cast<int>(i);
    return -1;
}

int SystemToolIndex(std::wstring_view run) {
    // The last match: the shared commands "Rundll32" and "control" pick the last
    // tool that uses them.
    for (size_t i = SystemToolCommands.size(); i-- > 0;)
        if (SystemToolCommands[i] == run) return static_cast<int>(i);
    return 0;
}

std::optional<std::wstring> ConnectionName(std::wstring_view params) {
    constexpr std::wstring_view kPrefix = L"-d \"";
    if (params.size() < kPrefix.size() + 1 || !params.starts_with(kPrefix) || params.back() != L'"')
        return std::nullopt;
    return std::wstring(params.substr(kPrefix.size(), params.size() - kPrefix.size() - 1));
}

std::wstring ConnectionParams(std::wstring_view name) {
    std::wstring params = L"-d \"";
    params.append(name);
    params += L'"';
    return params;
}

int EntryIndexOrAdd(std::vector<std::wstring>& entries, std::wstring_view wanted) {
    if (wanted.empty()) return entries.empty() ? -1 : 0;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == wanted) return static_cast<int>(i);
    entries.emplace_back(wanted);
    return static_cast<int>(entries.size() - 1);
}

IconRef DefaultIcon(int typeIndex, std::wstring_view systemDir, std::wstring_view programPath) {
    const std::wstring shell32 = std::wstring(systemDir) + L"shell32.dll";
    switch (typeIndex) {
    case 0: return {shell32, 23};
    case 1: return {shell32, 4};
    case 2: return {shell32, 15};
    case 3: return {shell32, 126};
    case 4: return {shell32, 32};
    case 5: return {shell32, 34};
    case 6: return {shell32, 21};
    // The program's own icon groups: 2 Shutdown, 3 Restart, 4 Log Out.
    case 7: return {std::wstring(programPath), 4};
    case 8: return {std::wstring(programPath), 2};
    case 9: return {std::wstring(programPath), 3};
    case 10: return {shell32, 165};
    case 11: return {shell32, 14};
    case 12: return {shell32, 76};
    default: return {shell32, 0};
    }
}

std::wstring DefaultCaption(int typeIndex, std::wstring_view entryText, std::wstring_view newItemCaption,
                            std::wstring_view degreeSymbol) {
    if (typeIndex == kGroupType || typeIndex == kLinkType || typeIndex == kFolderType || typeIndex == kPluginType)
        return std::wstring(newItemCaption);
    if (InRange(typeIndex, 2, kConnectionType)) return std::wstring(entryText);
    if (typeIndex == kWeatherType) return L"<?>" + std::wstring(degreeSymbol);
    return {};
}

std::optional<std::wstring> CheckValues(const DialogValues& values) {
    if (!InRange(values.TypeIndex, kGroupType, kTypeListCount - 1)) return L"Choose a type from the list.";
    const int type = values.TypeIndex;
    const bool listKind = type == kSystemType || type == kConnectionType || type == kPluginType;
    if (listKind && (!WritableIndexes(values) || values.EntryIndex < 0 || values.EntryText.empty()))
        return L"Choose an entry from the list.";
    // Only the fields this kind writes: a disabled edit may still hold an old text
    // the user cannot shorten.
    const TypeControls used = ControlsForType(type, 1);
    if (type != kRunType && values.Caption.size() > kMaxCaptionLength)
        return L"The caption is longer than 260 characters.";
    if (used.Target && values.Target.size() > kMaxTargetLength)
        return L"The target is longer than 2048 characters.";
    if (used.Params && values.Params.size() > kMaxParamsLength)
        return L"The parameters are longer than 8191 characters.";
    return std::nullopt;
}

void WriteItemNode(ui::XmlNode node, const DialogValues& values) {
    if (!WritableIndexes(values)) return;
    const int type = values.TypeIndex;
    switch (type) {
    case kLinkType:
    case kFolderType:
        SetChild(node, L"Type", type == kLinkType ? L"0" : L"1");
        SetChild(node, L"Run", ui::TrimSpaces(values.Target).empty() ? std::wstring_view() : values.Target);
        if (type == kFolderType) SetChild(node, L"Param1", values.PopupMenuChecked ? L"1" : L"0");
        // A link never opens a sub-menu, whatever the hidden check box holds.
        if (type == kLinkType || !values.PopupMenuChecked) RemoveSubItems(node);
        SetChild(node, L"Params", values.Params);
        break;
    case kSystemType: {
        const auto n = static_cast<size_t>(values.EntryIndex);
        SetChild(node, L"Type", L"4");
        SetChild(node, L"Run", SystemToolCommands[n]);
        SetChild(node, L"Params", SystemToolParams[n]);
        SetChild(node, L"RunVis", ui::IntToStr(values.EntryIndex));
        break;
    }
    case kConnectionType:
        SetChild(node, L"Type", L"5");
        SetChild(node, L"Run", L"rasphone.exe");
        SetChild(node, L"Params", ConnectionParams(values.EntryText));
        break;
    case kRunType:
        SetChild(node, L"Type", L"6");
        SetChild(node, L"Params", values.Params);
        SetChild(node, L"Run", values.ResultListChecked ? L"1" : L"0");
        break;
    case kWeatherType:
        SetChild(node, L"Type", L"7");
        SetChild(node, L"Params", values.Params);
        SetChild(node, L"Run", L"24");
        break;
    case kPluginType:
        SetChild(node, L"Type", L"11");
        SetChild(node, L"Params", values.Params);
        SetChild(node, L"Run", values.EntryText);
        break;
    case kGroupType:
        if (values.KeepStoredKind) break;
        SetChild(node, L"Run", L"");
        SetChild(node, L"Params", L"");
        SetChild(node, L"Type", L"2");
        break;
    default: {  // 2..9, the shell objects
        const auto i = static_cast<size_t>(type);
        SetChild(node, L"Run", TypeCommands[i]);
        SetChild(node, L"Params", TypeParams[i]);
        SetChild(node, L"Type", L"3");
        break;
    }
    }
    SetChild(node, L"Index", ui::IntToStr(values.IconIndex));
    SetChild(node, L"ImageFile", values.IconFile);
    SetChild(node, L"Caption", type == kRunType ? std::wstring_view() : values.Caption);
    // RunVis is a show command but for a system tool, which keeps its number there.
    if (type != kSystemType)
        SetChild(node, L"RunVis", ui::IntToStr(InRange(values.ShowIndex, 0, 2) ? values.ShowIndex : 0));
}

std::wstring AbbreviateIconPath(std::wstring_view path, std::wstring_view systemDir, std::wstring_view programPath) {
    if (!systemDir.empty() && path.starts_with(systemDir))
        return L"%SYSTEM%" + std::wstring(path.substr(systemDir.size()));
    const std::wstring_view drive = DriveOf(programPath);
    if (!drive.empty() && path.starts_with(drive)) return L"%DISK%" + std::wstring(path.substr(drive.size()));
    return std::wstring(path);
}

std::wstring RelativeToProgramDrive(std::wstring_view path, std::wstring_view programPath) {
    const std::wstring_view programDrive = DriveOf(programPath);
    const std::wstring_view pathDrive = DriveOf(path);
    if (programDrive.empty() || pathDrive.empty() || UpperLetter(programDrive[0]) != UpperLetter(pathDrive[0]))
        return std::wstring(path);
    return L"%DISK%" + std::wstring(path.substr(2));
}

std::wstring CaptionForFile(std::wstring_view path) { return core::DroppedFileCaption(std::wstring(path)); }

std::wstring ExpandSystemRoot(std::wstring_view path, std::wstring_view windowsDir) {
    constexpr std::wstring_view kSystemRoot = L"%SystemRoot%";
    if (!path.starts_with(kSystemRoot)) return std::wstring(path);
    return std::wstring(windowsDir) + std::wstring(path.substr(kSystemRoot.size()));
}

std::wstring_view ExtensionOf(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/:");
    const size_t nameStart = separator == std::wstring_view::npos ? 0 : separator + 1;
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos || dot < nameStart) return {};
    return path.substr(dot);
}

}  // namespace dialogs
