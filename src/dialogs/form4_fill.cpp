// TForm4's values: the fill from an item, the type change, the change handlers and
// the three lists that stand in for the target.
#include "dialogs/form4.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/launch.h"
#include "core/path_macros.h"
#include "core/startup.h"
#include "dialogs/choosers.h"
#include "ui/controls.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/strings.h"
#include "ui/message_box.h"

#include <algorithm>

namespace dialogs {
namespace {

constexpr wchar_t kRasError[] = L"Sorry, error in RasEnumEntries function.";

std::wstring NewItemCaption() {
    if (!core::Form1) return L"New item";
    return core::Form1->PopupMenu1.Item(L"NewMI").Caption;
}

}  // namespace

void TForm4::ShowMessage(const std::wstring& text) {
    ui::ShowMessageBox(Handle(), text, L"Zarvo", MB_ICONWARNING | MB_OK);
}

int TForm4::TypeIndex() const { return ui::ComboIndex(Control(kComboBox1)); }

bool TForm4::Fill(int level, const core::TLNItem& item, ui::XmlNode node, int position, bool newItem) {
    const std::optional<DialogValues> values = FillValues(item);
    if (!values) return false;
    filling_ = true;
    ui::ScopeExit filled([this] { filling_ = false; });
    Tag = level;
    node_ = node;
    position_ = position;
    storedType_ = item.Type;
    keepStoredKind_ = values->KeepStoredKind;
    ItemRun = item.Run;
    ItemParams = item.Params;
    IconFile = values->IconFile;
    IconIndex = values->IconIndex;

    HWND typeList = Control(kComboBox1);
    ui::SetComboIndex(typeList, values->TypeIndex);
    ui::SetEnabled(typeList, values->TypeListEnabled);
    ApplyTypeControls(values->TypeIndex);
    ui::SetControlText(Control(kEdit1), values->Target);
    ui::SetControlText(Control(kEdit3), values->Params);
    ui::SetControlText(Control(kEdit2), values->Caption);
    ui::SetComboIndex(Control(kComboBox2), values->ShowIndex);
    ui::SetChecked(Control(kCheckBox1), values->PopupMenuChecked);
    ui::SetChecked(Control(kCheckBox2), values->ResultListChecked);
    ui::SetEnabled(Control(kButton4), values->IconButtonEnabled);
    switch (ControlsForType(values->TypeIndex, level).List) {
    case EntryList::SystemTools: SetEntries({SystemToolNames.begin(), SystemToolNames.end()}, values->EntryIndex); break;
    case EntryList::Connections: FillConnectionBox(); break;
    case EntryList::Plugins: FillPluginBox(); break;
    case EntryList::None: SetEntries({}, -1); break;
    }
    const std::wstring expanded = core::ExpandPathMacros(item.ImageFile);
    if (!ui::TrimSpaces(expanded).empty() && (ui::FileExists(expanded) || ui::DirectoryExists(expanded)))
        LoadIconPreview(item.ImageFile, item.Index);
    else
        LoadIconPreview(item.Run, 0);
    Button6Tag = newItem ? 1 : 0;
    return true;
}

void TForm4::ApplyTypeControls(int typeIndex) {
    const TypeControls controls = ControlsForType(typeIndex, Tag);
    const bool list = controls.List != EntryList::None;
    ui::SetEnabled(Control(kEdit1), controls.Target);
    ui::SetEnabled(Control(kButton1), controls.Target);
    ui::SetEnabled(Control(kEdit2), controls.Caption);
    ui::SetEnabled(Control(kEdit3), controls.Params);
    ui::SetEnabled(Control(kComboBox2), controls.Show);
    ui::SetVisible(Control(kCheckBox1), controls.PopupMenuBox);
    ui::SetVisible(Control(kCheckBox2), controls.ResultListBox);
    ui::SetVisible(Control(kEdit1), !list);
    ui::SetVisible(Control(kButton1), !list);
    ui::SetVisible(Control(kSysBox), list);
}

void TForm4::ComboBox1Change() {
    if (filling_) return;
    Button6Tag = 0;
    if (!Visible()) return;
    // A kind chosen by the user is written as that kind.
    keepStoredKind_ = false;
    const int typeIndex = TypeIndex();
    ApplyTypeControls(typeIndex);
    switch (ControlsForType(typeIndex, Tag).List) {
    case EntryList::SystemTools: FillSystemBox(); break;
    case EntryList::Connections: FillConnectionBox(); break;
    case EntryList::Plugins: FillPluginBox(); break;
    case EntryList::None: break;
    }
    const IconRef icon = DefaultIcon(typeIndex, core::SystemDir, ui::ModuleFileName());
    IconFile = icon.File;
    IconIndex = icon.Index;
    LoadIconPreview(IconFile, IconIndex);
    HWND sysBox = Control(kSysBox);
    const std::wstring entryText = typeIndex >= 2 && typeIndex <= 9
                                       ? ui::ComboItemText(Control(kComboBox1), typeIndex)
                                       : ui::ComboItemText(sysBox, ui::ComboIndex(sysBox));
    const int degreeType = core::Form1 ? core::Form1->Settings.DegreeType : 0;
    {
        // The caption set here is part of the type change, not a change of its own.
        filling_ = true;
        ui::ScopeExit done([this] { filling_ = false; });
        ui::SetControlText(Control(kEdit2),
                           DefaultCaption(typeIndex, entryText, NewItemCaption(), core::DegreeSymbol(degreeType)));
    }
    ui::SetEnabled(Control(kButton3), true);
}

void TForm4::Edit1Change() {
    if (filling_) return;
    Button6Tag = 0;
    ui::SetEnabled(Control(kButton3), true);
}

void TForm4::SysBoxChange() {
    if (filling_) return;
    HWND sysBox = Control(kSysBox);
    ui::SetControlText(Control(kEdit2), ui::ComboItemText(sysBox, ui::ComboIndex(sysBox)));
    Button6Tag = 0;
    ui::SetEnabled(Control(kButton3), true);
}

void TForm4::SetEntries(std::vector<std::wstring> entries, int selected) {
    HWND sysBox = Control(kSysBox);
    ui::SetComboItems(sysBox, entries);
    ui::SetComboIndex(sysBox, selected);
}

void TForm4::FillSystemBox() {
    SetEntries({SystemToolNames.begin(), SystemToolNames.end()}, SystemToolIndex(ItemRun));
}

void TForm4::FillConnectionBox() {
    std::vector<std::wstring> names;
    if (!PhoneBookEntries(names)) {
        // The list stays empty but for the item's own connection, so its other values
        // can still be saved.
        names.clear();
        ShowMessage(kRasError);
    }
    // Only a stored connection is kept when the book lacks it; another kind's
    // parameters name no connection.
    const std::wstring wanted = storedType_ == 5 ? ConnectionName(ItemParams).value_or(std::wstring()) : L"";
    const int selected = EntryIndexOrAdd(names, wanted);
    SetEntries(std::move(names), selected);
}

void TForm4::FillPluginBox() {
    // The loaded plug-ins in slot order; a stored plug-in item's own name stays
    // choosable when its library is not loaded.
    std::vector<std::wstring> names;
    if (core::Form1)
        for (int slot = 1; slot <= core::kPluginSlots; ++slot)
            if (core::Form1->Plugins[slot].Loaded) names.push_back(core::Form1->Plugins[slot].Name);
    const std::wstring wanted = storedType_ == 11 ? ItemRun : L"";
    const int selected = EntryIndexOrAdd(names, wanted);
    SetEntries(std::move(names), selected);
}

DialogValues TForm4::CurrentValues() const {
    DialogValues values;
    values.TypeIndex = TypeIndex();
    values.TypeListEnabled = ui::ControlEnabled(Control(kComboBox1));
    values.KeepStoredKind = keepStoredKind_;
    values.Target = ui::ControlText(Control(kEdit1));
    values.Params = ui::ControlText(Control(kEdit3));
    values.Caption = ui::ControlText(Control(kEdit2));
    values.ShowIndex = std::max(0, ui::ComboIndex(Control(kComboBox2)));
    values.PopupMenuChecked = ui::Checked(Control(kCheckBox1));
    values.ResultListChecked = ui::Checked(Control(kCheckBox2));
    values.IconButtonEnabled = ui::ControlEnabled(Control(kButton4));
    HWND sysBox = Control(kSysBox);
    values.EntryIndex = ui::ComboIndex(sysBox);
    values.EntryText = ui::ComboItemText(sysBox, values.EntryIndex);
    values.IconFile = IconFile;
    values.IconIndex = IconIndex;
    return values;
}

}  // namespace dialogs
