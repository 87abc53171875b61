#include "core/form1.h"

#include "core/forms.h"
#include "core/popup_mode.h"
#include "core/search_index.h"
#include "core/startup.h"
#include "popups/form2.h"
#include "ui/application.h"
#include "ui/cursor.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/ini.h"
#include "ui/message_box.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace core {

std::wstring TForm1::MenuPath() const { return AppDir + MenuFileName; }

void TForm1::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm1";
    params.caption = L"Zarvo";
    params.style = WS_POPUP;
    params.x = 200;
    params.y = 200;
    params.width = Skin.SkinWidth;
    params.height = 4 * Skin.ItemSize + Skin.HeaderSize + Skin.BottomMargin;
    DesktopMode = ReadDesktopMode(ui::Ini(ProgramFolder() + L"config.ini"));
    if (!DesktopMode) {
        params.parent = GetDesktopWindow();
        params.exStyle |= WS_EX_TOPMOST;
    }
}

LRESULT TForm1::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Desktop mode: the window lives at the bottom of the z-order and never activates.
    if (DesktopMode && (msg == WM_WINDOWPOSCHANGING || msg == WM_WINDOWPOSCHANGED)) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        // Leaving the top band is let through: only that clears a topmost flag that
        // raising the owner passed on to this window.
        if (!(pos->flags & SWP_NOZORDER) && pos->hwndInsertAfter != HWND_NOTOPMOST) pos->hwndInsertAfter = HWND_BOTTOM;
        pos->flags |= SWP_NOACTIVATE;
    }
    // Logging off or shutting down saves what a close saves.
    if (msg == WM_QUERYENDSESSION) {
        FormCloseQuery();
        return TRUE;
    }
    switch (msg) {
    case WM_ACTIVATEAPP:
        if (!wp) ApplicationEvents1Deactivate();
        break;
    case WM_DISPLAYCHANGE: WMDisplayChange(); break;
    case WM_POWERBROADCAST: WMPowerBroadcast(); break;
    case WM_DROPFILES: WMDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    // From the notification icon, the hook library and plug-ins, in every mode.
    case WM_TRAYNOTIFY: WMTrayNotify(lp); return 0;
    case WM_HOOK_SHOWMENU: WMOpenMenuFile(lp); return 0;
    case WM_HOOK_HIDEMENU: WMHideMenu(); return 0;
    case WM_PLUGIN_DONE: WMEnableWindows(); return 0;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TForm1::OnTimer(UINT_PTR id) {
    if (id == kTimer1) Timer1Timer();
    if (id == kScrolltimer) ScrolltimerTimer();
    if (id == kDragTimer) DragTimerTimer();
}

void TForm1::ShowSplash() {
    try {
        splash_ = std::make_unique<SplashWindow>(AppDir + L"splash.png");
    } catch (...) {
        splash_.reset();
    }
}

void TForm1::SplashTimerTimer() {
    if (splashSuppressed_ || !splash_) return;
    try {
        splash_->Step();
    } catch (...) {
        // the splash is decoration: its errors are ignored
    }
}

void TForm1::CloseSplash() {
    try {
        if (splash_) splash_->Destroy();
    } catch (...) {
    }
    splash_.reset();
}

void TForm1::ChooseMenuFile() {
    const std::wstring argument = FirstArgument();
    // Case-sensitive on purpose: the one-shot mode takes exactly ".xml".
    if (ui::ExtractFileExt(argument) == L".xml" && ui::FileExists(AppDir + argument)) {
        MenuFileName = argument;
        PopupMode = true;
    } else {
        MenuFileName = L"1.xml";
    }
    ImageExt = L".png";
}

bool TForm1::WriteDefaultMenuIfMissing() {
    const std::wstring path = MenuPath();
    if (ui::FileExists(path)) return true;
    // A crash during the last save leaves the complete new file beside a missing one.
    if (MenuStore::RecoverMenuFile(path)) return true;
    if (ui::WriteFileAtomic(path, DefaultMenuText)) return true;
    // Ending without a word would look like a program that never started. The
    // splash is topmost and would cover the message.
    CloseSplash();
    ui::ShowMessageBox(Handle(), L"The menu file \"" + path + L"\" cannot be written, so Zarvo cannot start.",
                       L"Error", MB_ICONERROR | MB_OK);
    ExitStatus = 1;
    ui::Application::Instance().Terminate();
    return false;
}

void TForm1::DecidePopupMode() {
    if (Settings.Position == 5 || PopupMode) {
        PopupMode = true;
        if (FirstArgument().empty()) {
            Settings.Position = 0;
            TrayIcon(1);
            InstallHook();
        }
    } else {
        PopupMode = false;
    }
}

void TForm1::PlaceInitially() {
    if (DesktopMode) return;
    switch (Settings.Position) {
    case 0: SetLeft(-Skin.MainRightSpace); break;
    case 1: SetLeft(GetSystemMetrics(SM_CXSCREEN) + Skin.MainRightSpace); break;
    case 2:
    case 3: SetTop(0); break;
    default: break;  // where X and Y put it
    }
}

void TForm1::FormCreate() {
    ui::Application::Instance().SetExceptionHandler([this] { ApplicationEvents1Exception(); });
    VersionString = GetFileVersionString(ui::ModuleFileName(), L"FileVersion");
    for (int level = 1; level <= 3; ++level) ItemLists[level].clear();
    ScrollMode[1] = 0;
    ScrollMode[2] = 1;
    ScrollMode[3] = 1;
    ui::SetScreenCursor(IDC_WAIT);
    ui::ScopeExit restoreCursor([] { ui::SetScreenCursor(nullptr); });
    // One INI object serves every read of the start-up settings.
    {
        ui::Ini config(ProgramFolder() + L"config.ini");
        Settings.HideSplashScreen = ReadHideSplashScreen(config);
        splashSuppressed_ = Settings.HideSplashScreen || !FirstArgument().empty();
        // The folders come before the splash, which lies in the program folder.
        AppDir = ProgramFolder();
        SystemDir = GetSystemDir();
        MediaKind = MediaKindOf(AppDir);
        CacheDir = MediaKind == 0 ? AppDir + L"cache\\" : GetTempDir();
        if (!splashSuppressed_) ShowSplash();
        SplashTimerTimer();
        Compositor.TrayIconImage = nullptr;
        Compositor.WindowBlend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        InitColorMatrices(Compositor);
        Skin.ShowCaption = false;
        PopupMode = false;
        ChooseMenuFile();
        SplashTimerTimer();
        if (!WriteDefaultMenuIfMissing()) return;
        SplashTimerTimer();
        ReadLock(config, Settings);
        Lock1.Checked = Settings.lock;
        Lock1.Caption = Settings.lock ? L"Unlock" : L"Lock";
        ReadAppearance(config, Settings, DesktopMode, VistaOrLater);
        DecidePopupMode();
        SplashTimerTimer();
        ReadRemaining(config, Settings, AppDir);
        SetLeft(Settings.X);
        SetTop(Settings.Y);
        ShowCount = Settings.ShowCount;
        MoveSoundData = ui::ReadFileBytes(AppDir + L"move.wav").value_or(std::string());
        if (Settings.IndexOnStart == 1) BuildIndex();
        ApplyHandCursor();
    }
    Messages = MessageTexts{};
    SelectedIndex[1] = -1;
    SplashTimerTimer();
    SetTop(ClampTop(Top(), GetSystemMetrics(SM_CYSCREEN)));
    // The compositor's shared drawing objects, then the skin that fills them.
    Compositor.WorkBitmap = std::make_unique<ui::Dib>(1, 1);
    Compositor.IconAttributes = std::make_unique<Gdiplus::ImageAttributes>();
    Compositor.TransparencyAttributes = std::make_unique<Gdiplus::ImageAttributes>();
    SplashTimerTimer();
    LoadSkin(Settings.LastSkin);
    PlaceInitially();
    SplashTimerTimer();
    if (!ui::DirectoryExists(CacheDir)) CreateDirectoryW(CacheDir.c_str(), nullptr);
    LoadPlugins();
    MakeLayeredToolWindow(*this);
    DragAcceptFiles(Handle(), TRUE);
    BuildMainMenu();
    // A restored backup ends the program: nothing more is shown or started.
    if (ui::Application::Instance().Terminated()) return;
    SplashTimerTimer();
    GetCursorPos(&PopupPoint);
    // The first paint: the window shows at its initial place before it slides.
    RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 0);
    SlideIn();
    SplashTimerTimer();
    StartTimer(kTimer1, 300);
    startupFinished_ = true;
}

void TForm1::CloseMIClick() {
    if (Form3 && Form3->Visible()) RenderMenuWindow(false, *Form3, LevelImages[3].get(), -1, 111);
    if (Form2 && Form2->Visible()) RenderMenuWindow(false, *Form2, LevelImages[2].get(), -1, 111);
    RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 111);
    Close();
}

bool TForm1::FormCloseQuery() {
    // Nothing can be written on a CD-ROM; the pop-up clean-up below still runs.
    const bool writes = MediaKind != 2;
    const bool oneShot = !FirstArgument().empty();
    if (writes) {
        ui::Ini config(AppDir + L"config.ini");
        // A header drag's side survives the restart; otherwise the stored side is
        // left as the user or the settings dialog wrote it.
        std::optional<std::uint8_t> position;
        if (PopupMode && !oneShot) position = 5;
        else if (positionSwitched_) position = Settings.Position;
        WriteCloseSettings(config, Top(), Left(), Settings.lock, position);
        MenuFile.SaveBackup(XMLDocument1, ui::ChangeFileExt(MenuPath(), L".bak"));
    }
    if (PopupMode) {
        if (oneShot) {
            // The cache of this mode lies in the temporary folder, not on the CD.
            if (XMLDocument1.Loaded()) DeleteCachedImages(XMLDocument1.Root(), CacheDir, ImageExt);
        } else {
            RemoveHook();
            TrayIcon(2);
        }
    }
    return true;
}

// An error that no routine caught: the hook and the icon go, the program ends with
// a failure status, no message.
void TForm1::ApplicationEvents1Exception() {
    FaultCleanUp();
    ExitStatus = 1;
    ui::Application::Instance().Terminate();
}

void TForm1::FormClose() {
    Hide();
    ui::Application::Instance().Terminate();
}

void TForm1::FormDestroy() {
    // An index build still running is stopped at its next file-system call. The wait is
    // bounded, as for launches: a dead network share can hold one call for long.
    CancelIndexBuild();
    WaitForIndexBuild(kIndexBuildCloseWaitMs);
    DragAcceptFiles(Handle(), FALSE);
    UnloadPlugins();
    // A sound still playing from memory must stop before its bytes are freed.
    PlaySoundW(nullptr, nullptr, 0);
    MoveSoundData.clear();
    for (int level = 1; level <= 3; ++level) {
        LevelImages[level].reset();
        ItemLists[level].clear();
    }
    MainPanels.clear();
    ReleaseCaptionObjects(Parts);
    for (int level = 1; level <= 3; ++level) {
        CaptionImages[level].reset();
        Compositor.LevelBitmaps[level].reset();
    }
    Compositor.WorkBitmap.reset();
    Compositor.IconAttributes.reset();
    Compositor.TransparencyAttributes.reset();
    if (Compositor.TrayIconImage) DestroyIcon(Compositor.TrayIconImage);
    Compositor.TrayIconImage = nullptr;
    CloseSplash();
}

}  // namespace core
