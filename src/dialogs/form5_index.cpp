// TForm5's index folders: the list of index.txt, its buttons and the double click.
#include "dialogs/form4.h"
#include "dialogs/form5.h"

#include "core/launch.h"
#include "core/search_index.h"
#include "core/startup.h"
#include "ui/controls.h"

// The properties dialog's component names are in scope here too (its folder
// chooser): the settings dialog's ids are named with their namespace.
namespace dialogs {

void TForm5::LoadIndexList() {
    IndexChanged = false;
    HWND list = Control(form5::kIndexListBox);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& folder : core::ReadIndexList(core::AppDir + core::kIndexListFile))
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
}

void TForm5::AddIndexBtnClick() {
    std::wstring displayName;
    std::wstring path;
    if (!TForm4::BrowseFolder(Handle(), displayName, path) || path.empty()) return;
    SendMessageW(Control(form5::kIndexListBox), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ComboBox1Change(form5::kIndexListBox);
    IndexChanged = true;
}

void TForm5::DelIndexBtnClick() {
    HWND list = Control(form5::kIndexListBox);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    ComboBox1Change(form5::kIndexListBox);
    IndexChanged = true;
    IndexListBoxClick();
}

void TForm5::IndexListBoxClick() {
    ui::SetEnabled(Control(form5::kDelIndexBtn), SendMessageW(Control(form5::kIndexListBox), LB_GETCURSEL, 0, 0) != LB_ERR);
}

std::vector<std::wstring> TForm5::IndexFolders() const {
    HWND list = Control(form5::kIndexListBox);
    std::vector<std::wstring> folders;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
        folders.push_back(std::move(text));
    }
    return folders;
}

void TForm5::IndexListBoxDblClick() {
    const LRESULT selected = SendMessageW(Control(form5::kIndexListBox), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    const std::vector<std::wstring> folders = IndexFolders();
    if (static_cast<size_t>(selected) >= folders.size()) return;
    core::ShellCall call;
    call.owner = Handle();
    call.verb = L"open";
    call.file = folders[static_cast<size_t>(selected)];
    call.show = SW_SHOWNORMAL;
    core::CurrentShellFunctions().execute(call);
}

}  // namespace dialogs
