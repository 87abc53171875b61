// TForm4's two ways out: OK writes the item into its node and saves the menu,
// Cancel closes and takes back a new item that stayed blank.
#include "dialogs/form4.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "ui/controls.h"
#include "ui/strings.h"

#include <wrl/client.h>

namespace dialogs {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kNotSavedText[] =
    L"The item could not be saved: the menu file could not be written. Your changes are still in the dialog.";
constexpr wchar_t kRefusedText[] =
    L"The item could not be saved: the menu file could not be loaded, so nothing is written over it. Your changes "
    L"are still in the dialog.";
constexpr wchar_t kGoneText[] = L"The item is no longer in the menu, so nothing was written.";

// The node still hangs in a document tree: neither removed nor left behind by a
// reload of the menu while the dialog was up. (MSXML may hand out a new wrapper for
// each lookup, so nodes are not compared by identity.)
bool InDocument(const ui::XmlNode& node, const ui::XmlDocument& document) {
    if (!document.HasRoot()) return false;
    ComPtr<IXMLDOMNode> current = node.Get();
    for (;;) {
        ComPtr<IXMLDOMNode> parent;
        if (current->get_parentNode(&parent) != S_OK || !parent) break;
        current = parent;
    }
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(current->get_nodeType(&type)) && type == NODE_DOCUMENT;
}

// Gives `node` the children of `saved` again, in place, so that whoever holds the
// node still holds the one in the document.
bool RestoreChildren(ui::XmlNode& node, const ui::XmlNode& saved) {
    for (const ui::XmlNode& child : node.ChildNodes()) node.RemoveChild(child);
    for (const ui::XmlNode& child : saved.ChildNodes()) {
        ComPtr<IXMLDOMNode> added;
        if (node.Get()->appendChild(child.Get(), &added) != S_OK) return false;
    }
    return true;
}

}  // namespace

void TForm4::Button3Click() {
    // A disabled button still reports a click sent to it (BM_CLICK).
    if (!ui::ControlEnabled(Control(kButton3))) return;
    const DialogValues values = CurrentValues();
    if (const std::optional<std::wstring> problem = CheckValues(values)) {
        ShowMessage(*problem);
        return;
    }
    core::TForm1* main = core::Form1;
    if (!main) return;
    if (!node_ || !InDocument(*node_, main->XMLDocument1)) {
        ShowMessage(kGoneText);
        Button6Tag = 0;
        Hide();
        return;
    }
    // The menu's own warning comes once a run, and under this topmost dialog: the
    // dialog says it each time.
    if (!main->MenuFile.CheckMenuWritable(main->XMLDocument1)) {
        main->MenuFile.TakeRefusalWarning();
        ShowMessage(kRefusedText);
        return;
    }
    HWND ok = Control(kButton3);
    ui::SetEnabled(ok, false);
    if (!SaveNode(values)) {
        ShowMessage(kNotSavedText);
        ui::SetEnabled(ok, true);
        return;
    }
    Button6Tag = 0;
    Hide();
}

bool TForm4::SaveNode(const DialogValues& values) {
    core::TForm1& main = *core::Form1;
    DialogValues written = values;
    // The drive ExpandPathMacros puts back for "%DISK%".
    written.IconFile = AbbreviateIconPath(IconFile, core::SystemDir, core::AppDir);
    // The document must keep matching the file: a write that does not reach the
    // file is taken back.
    const ui::XmlNode snapshot = node_->CloneDeep();
    WriteItemNode(*node_, written);
    if (main.MenuFile.SaveMenu(main.XMLDocument1, main.MenuPath()) == core::MenuStore::SaveResult::Saved) return true;
    if (!RestoreChildren(*node_, snapshot)) ShowMessage(L"The item's earlier values could not be put back.");
    return false;
}

void TForm4::Button6Click() {
    const bool blankNewItem = Button6Tag == 1 && ui::TrimSpaces(ui::ControlText(Control(kEdit1))).empty() &&
                              ui::TrimSpaces(ui::ControlText(Control(kEdit3))).empty();
    Button6Tag = 0;
    // Before the hide: losing the activation slides the menu out, which clears the
    // selections that lead a sub-menu's delete to the item.
    if (blankNewItem) RemoveBlankNewItem();
    Hide();
}

void TForm4::RemoveBlankNewItem() {
    switch (Tag) {
    case 1:
        if (core::Form1) core::Form1->DeleteItem(position_, true);
        return;
    case 2:
        if (core::Form2) core::Form2->DeleteSubItem(position_, true);
        return;
    case 3:
        if (core::Form3) core::Form3->DeleteSubItem(position_, true);
        return;
    default: return;
    }
}

}  // namespace dialogs
