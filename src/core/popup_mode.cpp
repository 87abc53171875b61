// Pop-up mode: the hook library, the notification-area icon and their messages.
#include "core/popup_mode.h"

#include "core/edit_commands.h"
#include "core/foreign_calls.h"
#include "core/form1.h"
#include "core/forms.h"
#include "core/mouse_input.h"
#include "core/shell_menu.h"
#include "core/startup.h"
#include "dialogs/about.h"
#include "dialogs/edit_box.h"
#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "popups/form2.h"
#include "ui/application.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/message_box.h"

#include <commctrl.h>

#include <atomic>
#include <string_view>

namespace core {
namespace {

NotifyIconFunction& NotifyIconSeam() {
    static NotifyIconFunction function;
    return function;
}

HookFunction HookEntry(HMODULE module) {
    if (!module) return nullptr;
    return reinterpret_cast<HookFunction>(reinterpret_cast<void*>(GetProcAddress(module, "Hook")));
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool ShownForm(const ui::Form* form) { return form && form->Visible(); }

// The modal form that a second showing from the tray would re-enter, if one is up.
ui::Form* VisibleModalForm() {
    ui::Form* forms[] = {Form4, Form5, About, EditBox};
    for (ui::Form* form : forms)
        if (ShownForm(form)) return form;
    return nullptr;
}

LONG WINAPI FaultFilter(EXCEPTION_POINTERS* info) {
    static std::atomic<bool> entered{false};
    const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    // A fault inside the clean-up comes back here and ends the process at once.
    if (!entered.exchange(true)) {
        try {
            if (Form1) Form1->FaultCleanUp();
        } catch (...) {
        }
    }
    // Never back into the faulting code, and nothing more written on the way out.
    TerminateProcess(GetCurrentProcess(), code ? code : 1);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool ShowErrorTaskDialog(HWND owner) {
    ui::UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
    if (!comctl) return false;
    using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
    auto indirect = reinterpret_cast<TaskDialogIndirectFn>(
        reinterpret_cast<void*>(GetProcAddress(comctl.Get(), "TaskDialogIndirect")));
    if (!indirect) return false;
    TASKDIALOG_BUTTON ignore{IDIGNORE, L"Ignore"};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.pszWindowTitle = L"Error";
    config.pszMainIcon = TD_ERROR_ICON;
    config.pszContent = L"Error!";
    config.cButtons = 1;
    config.pButtons = &ignore;
    config.nDefaultButton = IDIGNORE;
    int pressed = 0;
    return SUCCEEDED(indirect(&config, &pressed, nullptr, nullptr));
}

}  // namespace

bool IsAcceptedMenuFileName(const std::wstring& name) {
    constexpr std::wstring_view kExt = L".xml";
    if (name.size() <= kExt.size() || name.compare(name.size() - kExt.size(), kExt.size(), kExt) != 0) return false;
    if (IsSeparator(name.front()) || name.find(L':') != std::wstring::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        if (name.compare(start, end - start, L"..") == 0) return false;
        start = end + 1;
    }
    return true;
}

std::wstring GlobalAtomName(ATOM atom) {
    // Integer atoms have no name of their own, only "#number".
    if (atom < MAXINTATOM) return {};
    wchar_t buffer[256] = L"";
    const UINT length = GlobalGetAtomNameW(atom, buffer, 256);
    return std::wstring(buffer, length);
}

NOTIFYICONDATAW MakeTrayRecord(HWND window, HICON icon) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = window;
    record.uID = kTrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = icon;
    lstrcpynW(record.szTip, L"Zarvo", ARRAYSIZE(record.szTip));
    return record;
}

void SetNotifyIconForTests(NotifyIconFunction function) { NotifyIconSeam() = std::move(function); }

BOOL CallNotifyIcon(DWORD message, NOTIFYICONDATAW& record) {
    if (NotifyIconSeam()) return NotifyIconSeam()(message, record);
    return Shell_NotifyIconW(message, &record);
}

HICON LoadTrayIconImage(const std::wstring& folder) {
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    const std::wstring file = folder + L"tray.ico";
    if (ui::FileExists(file))
        if (HANDLE icon = LoadImageW(nullptr, file.c_str(), IMAGE_ICON, cx, cy, LR_LOADFROMFILE))
            return static_cast<HICON>(icon);
    // A blank entry would hide the way to Settings and Close while the menu is down.
    if (HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, cx, cy, 0))
        return static_cast<HICON>(icon);
    return CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
}

void ShowHookLibraryError(HWND owner) {
    if (VistaOrLater) {
        if (const TaskDialogHandler& answer = CurrentTaskDialogHandler()) {
            answer(TaskDialogRequest{owner, L"Error", L"", L"Error!", 0, kIconError});
            return;
        }
        if (ShowErrorTaskDialog(owner)) return;
    }
    // No message box has Ignore alone.
    ui::ShowMessageBox(owner, L"Error!", L"Error", MB_ICONERROR | MB_OK);
}

void InstallFaultHandler() { SetUnhandledExceptionFilter(&FaultFilter); }

// --- the main window's side

void TForm1::InstallHook() {
    if (HookInstalled) return;
    // Loaded once and kept: a library that failed to load is tried again next time.
    if (!HookModule) HookModule = LoadLibraryW((AppDir + L"zvhook.dll").c_str());
    const HookFunction hook = HookEntry(HookModule);
    if (!hook) {
        HookInstalled = false;
        // The splash is topmost and would cover the message.
        CloseSplash();
        ShowHookLibraryError(Handle());
        return;
    }
    hook(1);
    HookInstalled = true;
}

void TForm1::RemoveHook() {
    if (!HookInstalled) return;
    const HookFunction hook = HookEntry(HookModule);
    if (!hook) return;
    hook(0);
    HookInstalled = false;
}

void TForm1::TrayIcon(int operation) {
    DWORD message = 0;
    switch (operation) {
    case 1: message = NIM_ADD; break;
    case 2: message = NIM_DELETE; break;
    case 3: message = NIM_MODIFY; break;
    default: return;
    }
    const HICON icon = LoadTrayIconImage(AppDir);
    if (Compositor.TrayIconImage) DestroyIcon(Compositor.TrayIconImage);
    Compositor.TrayIconImage = icon;
    NOTIFYICONDATAW record = MakeTrayRecord(Handle(), icon);
    CallNotifyIcon(message, record);
}

void TForm1::FaultCleanUp() {
    RemoveHook();
    // The icon exists only in pop-up mode; the shell would keep a dead entry.
    if (PopupMode) TrayIcon(2);
}

void TForm1::WMOpenMenuFile(LPARAM lp) {
    if (!PopupMode) return;
    const ATOM atom = static_cast<ATOM>(LOWORD(lp));
    const std::wstring name = GlobalAtomName(atom);
    // The sender's atom goes on every path of this mode, the hide path too: the
    // table is session-wide and finite.
    if (atom) GlobalDeleteAtom(atom);
    if (!startupFinished_) return;
    if (Visible()) {
        SlideOut();
        return;
    }
    if (IsAcceptedMenuFileName(name) && ui::FileExists(AppDir + name)) {
        MenuFileName = name;
        BuildMainMenu();
        if (!IsWindow(Handle()) || ui::Application::Instance().Terminated()) return;
        RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 0);
    }
    GetCursorPos(&PopupPoint);
    SlideIn();
}

void TForm1::WMHideMenu() {
    if (!startupFinished_ || PluginBusy) return;
    if (CursorInForm(*this) || (Form2 && CursorInForm(*Form2)) || (Form3 && CursorInForm(*Form3))) return;
    if (ShownForm(Form4) || ShownForm(Form5) || ShownForm(About)) return;
    if (WinEventHook || ContextMenuOpen) return;
    SlideOut();
}

void TForm1::WMTrayNotify(LPARAM lp) {
    if (!startupFinished_ || LOWORD(lp) != WM_RBUTTONUP) return;
    if (ui::Form* modal = VisibleModalForm()) {
        ForceForeground(modal->Handle());
        return;
    }
    ForceForeground(Handle());
    SetPopupItemsVisible(false, 4);
    PopupAtCursor();
    // The classic tray-menu rule: without it the menu may not close on a click elsewhere.
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TForm1::WMEnableWindows() {
    EnableWindow(Handle(), TRUE);
    if (Form2) EnableWindow(Form2->Handle(), TRUE);
    if (Form3) EnableWindow(Form3->Handle(), TRUE);
    PluginBusy = false;
}

}  // namespace core
