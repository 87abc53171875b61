// Menu edit commands of the main window: delete with its question, and the
// properties dialog for an item without a target.
#include "core/edit_commands.h"

#include "core/forms.h"
#include "core/launch.h"
#include "core/menu_nodes.h"
#include "core/startup.h"
#include "dialogs/form4.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "render/compositor.h"
#include "ui/handles.h"
#include "ui/message_box.h"
#include "ui/modal.h"
#include "ui/strings.h"

#include <commctrl.h>

#include <functional>

namespace core {
namespace {

TaskDialogHandler& Handler() {
    static TaskDialogHandler handler;
    return handler;
}

int MapPressedButton(int pressed) {
    switch (pressed) {
    case IDCANCEL:
    case IDRETRY:
    case IDYES:
    case IDNO: return pressed;
    case IDCLOSE: return IDABORT;
    default: return IDOK;
    }
}

PCWSTR TaskDialogIcon(int icon) {
    switch (icon) {
    case kIconWarning: return TD_WARNING_ICON;
    case kIconError: return TD_ERROR_ICON;
    case kIconInformation: return TD_INFORMATION_ICON;
    default: return nullptr;  // task dialogs have no question icon
    }
}

// Before Vista: the nearest message box to the buttons asked for.
int ShowMessageDialog(HWND owner, const std::wstring& title, const std::wstring& mainInstruction,
                      const std::wstring& content, int buttons, int icon) {
    UINT type = 0;
    switch (icon) {
    case kIconWarning: type = MB_ICONWARNING; break;
    case kIconQuestion: type = MB_ICONQUESTION; break;
    case kIconError: type = MB_ICONERROR; break;
    case kIconInformation: type = MB_ICONINFORMATION; break;
    default: break;
    }
    const bool cancel = buttons & kTaskCancel;
    if ((buttons & kTaskYes) && (buttons & kTaskNo)) type |= cancel ? MB_YESNOCANCEL : MB_YESNO;
    else if (buttons & kTaskClose) type |= MB_ABORTRETRYIGNORE;
    else if (buttons & kTaskRetry) type |= MB_RETRYCANCEL;
    else if (cancel) type |= MB_OKCANCEL;
    else type |= MB_OK;
    // The question is the main instruction: shown without it, a Yes or No would
    // answer a text the user never saw.
    std::wstring text = mainInstruction;
    if (!content.empty()) text += (text.empty() ? L"" : L"\n\n") + content;
    return ui::ShowMessageBox(owner, text, title, type);
}

void DeleteCacheFilesOf(const ui::XmlNode& item) {
    auto id = item.FindChild(L"ID");
    if (!id) return;
    const std::wstring text = id->Text();
    for (const wchar_t* prefix : {L"", L"s"})
        if (auto path = CachedImagePath(CacheDir, text, prefix, ImageExt)) DeleteFileW(path->c_str());
}

}  // namespace

void SetTaskDialogHandler(TaskDialogHandler handler) { Handler() = std::move(handler); }
const TaskDialogHandler& CurrentTaskDialogHandler() { return Handler(); }

int ShowTaskDialog(HWND owner, const std::wstring& title, const std::wstring& mainInstruction,
                   const std::wstring& content, int buttons, int icon) {
    if (!VistaOrLater) return ShowMessageDialog(owner, title, mainInstruction, content, buttons, icon);
    if (Handler())
        return MapPressedButton(Handler()(TaskDialogRequest{owner, title, mainInstruction, content, buttons, icon}));
    ui::UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
    if (!comctl) return 0;
    using TaskDialogFn = HRESULT(WINAPI*)(HWND, HINSTANCE, PCWSTR, PCWSTR, PCWSTR, TASKDIALOG_COMMON_BUTTON_FLAGS,
                                          PCWSTR, int*);
    auto taskDialog =
        reinterpret_cast<TaskDialogFn>(reinterpret_cast<void*>(GetProcAddress(comctl.Get(), "TaskDialog")));
    if (!taskDialog) return 0;
    int pressed = 0;
    if (FAILED(taskDialog(owner, nullptr, title.c_str(), mainInstruction.c_str(), content.c_str(),
                          static_cast<TASKDIALOG_COMMON_BUTTON_FLAGS>(buttons), TaskDialogIcon(icon), &pressed)))
        return 0;  // no dialog, no answer
    return MapPressedButton(pressed);
}

std::wstring DeleteQuestion(int type, const MessageTexts& messages) {
    switch (type) {
    case 0:
    case 1:
    case 4:
    case 6: return messages.RemoveLink;
    case 2: return messages.RemoveGroup;
    case 3:
    case 5:
    case 7: return messages.RemoveObject;
    case 777: {
        // Without the caption part ("%s"? and its blank); a language file's shorter
        // text is kept whole.
        std::wstring text = messages.RemoveObject;
        if (text.size() >= 6) text.resize(text.size() - 6);
        return text + L"?";
    }
    default: return std::wstring();
    }
}

bool TForm1::DeleteItem(int position, bool silent) {
    bool confirmed = false;
    try {
        const TLNItem* listed = HoveredItem(ItemLists[1], position, 0, 0);
        if (!listed || !XMLDocument1.HasRoot()) return false;
        ui::XmlNode root = XMLDocument1.Root();
        if (position >= static_cast<int>(root.ElementCount())) return false;
        if (!MenuEditable()) return false;
        const TLNItem item = *listed;
        {
            const bool timerWasRunning = TimerRunning(kTimer1);
            StopTimer(kTimer1);
            ui::ScopeExit restart([this, timerWasRunning] {
                if (timerWasRunning) StartTimer(kTimer1, 300);
            });
            if (silent) {
                confirmed = true;
            } else {
                const std::wstring text = ui::FormatS(DeleteQuestion(item.Type, Messages), item.Caption);
                const int answer = VistaOrLater ? ShowTaskDialog(Handle(), L"Zarvo", text, kDeleteNote,
                                                                 kTaskYes | kTaskNo, kIconInformation)
                                                : ui::ShowMessageBox(nullptr, text, L"Zarvo", MB_YESNO);
                confirmed = answer == IDYES;
            }
        }
        if (!confirmed) return false;
        if (Form3) Form3->Hide();
        if (Form2) Form2->Hide();
        LevelImages[2].reset();
        LevelImages[3].reset();
        ui::XmlNode node = root.ElementAt(static_cast<size_t>(position));
        // The row's top, as the rows above it stand after the rebuild too. The main
        // window never scrolls, so the row's position is its row.
        const int puffY = Top() + ItemTop(1, position);
        root.RemoveChild(node);
        const bool saved = SaveMenuAndRebuild(0);
        SelectedIndex[1] = -1;
        RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 0);
        if (!saved) return false;  // the item is still there, and so are its images
        DeleteCacheFilesOf(node);
        const auto type = node.FindChild(L"Type");
        const bool group = item.Type == 2 || (type && ParseItemNumber(type->Text()) == 2);
        if (auto children = node.FindChild(L"subitem"); children && group)
            for (const ui::XmlNode& child : children->ElementChildren()) DeleteCacheFilesOf(child);
        // Centred on the window as the rebuild left it.
        if (ZVHint) ZVHint->PlayPoof(static_cast<int>(ui::RoundEven(Left() + Width() / 2.0)), puffY);
        return true;
    } catch (...) {
        // The document and windows stay as far as the delete got.
        return confirmed;
    }
}

void TForm1::DelMIClick() {
    const int level = PopupMenu1.Tag + 1;
    if (level != 1) {
        // A listing is generated anew at each opening: nothing in it is deleted.
        if (IsFolderMenuItem(ItemLists, SelectedIndex, ScrollMode, ScrollTop, level)) return;
        popups::TForm2* window = level == 2 ? Form2 : Form3;
        if (window)
            window->DeleteSubItem(SelectedPosition(level, SelectedIndex, ScrollMode, ScrollTop),
                                  Settings.HideWarnings != 0);
        return;
    }
    DeleteItem(SelectedPosition(1, SelectedIndex, ScrollMode, ScrollTop), Settings.HideWarnings != 0);
}

}  // namespace core

namespace core {
namespace {

std::function<void(int)>& PropertiesDialogForTests() {
    static std::function<void(int)> open;
    return open;
}

}  // namespace

void SetPropertiesDialogForTests(std::function<void(int level)> open) { PropertiesDialogForTests() = std::move(open); }

void TForm1::PropMIClick() { EditItemProperties(PopupMenu1.Tag + 1); }

void TForm1::EditItemProperties(int level, bool newItem) {
    if (level < 1 || level > 3) return;
    if (PropertiesDialogForTests()) {
        PropertiesDialogForTests()(level);
        return;
    }
    if (!Form4 || !XMLDocument1.HasRoot()) return;
    // The item and its node by the row rule, once: OK writes this node, and Cancel
    // removes a blank new item at this position, whatever the selection does meanwhile.
    const int position = SelectedPosition(level, SelectedIndex, ScrollMode, ScrollTop);
    auto container = LevelContainer(XMLDocument1.Root(), level, SelectedIndex, ScrollMode, ScrollTop);
    const TLNItemList& items = ItemLists[level];
    if (!container || position < 0 || position >= static_cast<int>(container->ElementCount()) ||
        position >= static_cast<int>(items.size()))
        return;
    ui::XmlNode node = container->ElementAt(static_cast<size_t>(position));
    // Stopped before the fill, which may ask the user something (the phone book).
    const UINT interval = TimerInterval(kTimer1);
    StopTimer(kTimer1);
    ui::ScopeExit restart([this, interval] {
        if (interval) StartTimer(kTimer1, interval);
    });
    const TLNItem item = items[static_cast<size_t>(position)];
    if (!Form4->Fill(level, item, node, position, newItem)) return;
    Form4->CenterOnScreen();
    ui::ShowModal(*Form4, ui::DialogKeys{true, dialogs::kButton3, dialogs::kButton6});
    if (level == 1) {
        BuildMainMenu();
        RenderMenuWindow(false, *this, LevelImages[1].get(), SelectedIndex[1] - 1, 0);
        return;
    }
    ui::Form* window = level == 2 ? static_cast<ui::Form*>(Form2) : static_cast<ui::Form*>(Form3);
    // A Cancel that removed the new item may have closed the window.
    if (!Form2 || !window || !window->Visible()) return;
    Form2->RenderSubMenu(false, *window);
    RenderMenuWindow(false, *window, LevelImages[level].get(), SelectedIndex[level] - 1, 0);
}

// The click path asks about the main window's row, so the dialog opens for level 1
// whatever window the context menu was last opened over.
bool TForm1::EditIfNoTarget() {
    const TLNItem* item = HoveredItem(ItemLists[1], SelectedIndex[1] - 1, ScrollMode[1], ScrollTop);
    if (!item || !item->Run.empty()) return false;
    if (item->Type != 0 && item->Type != 1) return false;
    EditItemProperties(1);
    return true;
}

}  // namespace core
