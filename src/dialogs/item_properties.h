// What the item properties dialog knows without a window: its constant tables, which
// controls each kind uses, the values it opens with for a stored item, the checks
// before OK, the fields OK writes and the icon path forms.
#pragma once

#include "core/menu_document.h"
#include "ui/xml_document.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dialogs {

// Type indexes of the type list. 0..13 are the kinds as printed, 14 the plug-in
// entry added after them; -1 (no entry) stands for a group.
inline constexpr int kGroupType = -1;
inline constexpr int kLinkType = 0;
inline constexpr int kFolderType = 1;
inline constexpr int kSystemType = 10;
inline constexpr int kConnectionType = 11;
inline constexpr int kRunType = 12;
inline constexpr int kWeatherType = 13;
inline constexpr int kPluginType = 14;
inline constexpr int kTypeListCount = 15;

extern const std::array<std::wstring_view, kTypeListCount> TypeCaptions;
extern const std::array<std::wstring_view, 3> ShowCaptions;  // "Normal", "Minimized", "Maximized"
// Indexed by type index 0..9; 0 and 1 are empty.
extern const std::array<std::wstring_view, 10> TypeCommands;
extern const std::array<std::wstring_view, 10> TypeParams;
inline constexpr int kSystemToolCount = 42;
extern const std::array<std::wstring_view, kSystemToolCount> SystemToolNames;
extern const std::array<std::wstring_view, kSystemToolCount> SystemToolCommands;
extern const std::array<std::wstring_view, kSystemToolCount> SystemToolParams;

// Longest texts OK writes.
inline constexpr size_t kMaxCaptionLength = 260;
inline constexpr size_t kMaxTargetLength = 2048;
inline constexpr size_t kMaxParamsLength = 8191;

// Which list stands in for the target edit.
enum class EntryList { None, SystemTools, Connections, Plugins };

// The controls a type index uses, for the fill and the type change alike: Edit1 and
// Button1 (Target), Edit2 (Caption), Edit3 (Params), ComboBox2 (Show), CheckBox1
// (PopupMenuBox, visible), CheckBox2 (ResultListBox, visible) and SysBox in place of
// Edit1 and Button1 (List).
struct TypeControls {
    bool Target = false;
    bool Caption = false;
    bool Params = false;
    bool Show = false;
    bool PopupMenuBox = false;
    bool ResultListBox = false;
    EntryList List = EntryList::None;

    bool operator==(const TypeControls&) const = default;
};
TypeControls ControlsForType(int typeIndex, int level);

// The dialog's values: what its controls show and the icon it will write.
struct DialogValues {
    int TypeIndex = kGroupType;
    bool TypeListEnabled = true;
    // A Type 3 item that matches no shell-object entry: it opens with no entry, and
    // OK keeps its Type, Run and Params.
    bool KeepStoredKind = false;
    std::wstring Target{};   // Edit1
    std::wstring Params{};   // Edit3
    std::wstring Caption{};  // Edit2
    int ShowIndex = 0;     // ComboBox2
    bool PopupMenuChecked = false;   // CheckBox1
    bool ResultListChecked = false;  // CheckBox2
    bool IconButtonEnabled = true;   // Button4
    int EntryIndex = -1;             // SysBox, -1 for none
    std::wstring EntryText{};        // the SysBox entry's text
    std::wstring IconFile{};         // as stored in ImageFile, abbreviated by OK
    int IconIndex = 0;

    bool operator==(const DialogValues&) const = default;
};

// The values the dialog opens with for a stored item; nullopt for a Type it does
// not edit (55, 777, unknown). The entry of a system tool is its RunVis when that is
// 0..41, else SystemToolIndex(Run); connections and plug-ins get theirs from their
// lists (EntryIndexOrAdd). A RunVis outside 0..2 shows "Normal".
std::optional<DialogValues> FillValues(const core::TLNItem& item);

// The shell-object entry 2..9 whose command and parameters equal the item's; -1.
int ShellObjectIndex(std::wstring_view run, std::wstring_view params);
// The last tool whose command equals `run` (case-sensitive); 0 when none does.
int SystemToolIndex(std::wstring_view run);
// The connection name of stored parameters of the form -d "name"; nothing for any
// other form.
std::optional<std::wstring> ConnectionName(std::wstring_view params);
// -d "name", as OK stores a connection.
std::wstring ConnectionParams(std::wstring_view name);
// The index of `wanted` in `entries`. A stored entry the list lacks (a removed
// plug-in, an empty phone book) is appended and chosen, so OK cannot wipe it; for an
// empty `wanted` entry 0, or -1 when the list is empty.
int EntryIndexOrAdd(std::vector<std::wstring>& entries, std::wstring_view wanted);

// The icon and caption a type change gives the kind. `systemDir` ends in a
// backslash; "program icon n" is `programPath` with index n.
struct IconRef {
    std::wstring File{};
    int Index = 0;

    bool operator==(const IconRef&) const = default;
};
IconRef DefaultIcon(int typeIndex, std::wstring_view systemDir, std::wstring_view programPath);
// 0, 1, 14 and -1: the context menu's new-item caption; 2..9: the type list's entry
// text; 10 and 11: the chosen list entry; 12: empty; 13: "<?>" and the degree sign.
// `entryText` is the type list's text for 2..9 and the SysBox entry for 10 and 11.
std::wstring DefaultCaption(int typeIndex, std::wstring_view entryText, std::wstring_view newItemCaption,
                            std::wstring_view degreeSymbol);

// The first reason OK cannot write the values, as the message to show; nothing when
// they may be written. Lengths name the field and its limit and are checked only for
// the fields the kind writes (a disabled edit may hold text the user cannot shorten);
// a system, connection or plug-in kind without an entry gets "Choose an entry from
// the list."; a type index outside -1..14 is refused too.
std::optional<std::wstring> CheckValues(const DialogValues& values);

// Steps 4 and 5 of OK: the node's fields by type index, missing children created.
// A target of blanks only is written empty; IconFile is written as given (the
// caller abbreviates it first). A type index outside -1..14, or a system tool
// outside the tool list, writes nothing; a show index outside 0..2 writes 0.
void WriteItemNode(ui::XmlNode node, const DialogValues& values);

// OK's icon path form: a prefix equal to `systemDir` becomes "%SYSTEM%", else the
// program's drive (letter and colon) becomes "%DISK%". Case-sensitive, as stored
// menus expect.
std::wstring AbbreviateIconPath(std::wstring_view path, std::wstring_view systemDir, std::wstring_view programPath);
// "Use relative path": "%DISK%" and the path after its drive, for a path on the
// program's drive only (letters compared without case); any other path unchanged.
std::wstring RelativeToProgramDrive(std::wstring_view path, std::wstring_view programPath);
// The caption a chosen file gives: its name, without ".exe" or ".lnk" (case-sensitive).
std::wstring CaptionForFile(std::wstring_view path);
// The icon chooser's answer: a leading "%SystemRoot%" becomes the Windows folder
// (given without a trailing backslash).
std::wstring ExpandSystemRoot(std::wstring_view path, std::wstring_view windowsDir);
// The extension with its dot, as the dialog's tests compare it (case-sensitive).
std::wstring_view ExtensionOf(std::wstring_view path);

}  // namespace dialogs
