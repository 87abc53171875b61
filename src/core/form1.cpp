#include "core/form1.h"

#include "core/forms.h"
#include "core/startup.h"
#include "ui/application.h"
#include "ui/cursor.h"
#include "ui/files.h"
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
        if (!(pos->flags & SWP_NOZORDER)) pos->hwndInsertAfter = HWND_BOTTOM;
        pos->flags |= SWP_NOACTIVATE;
    }
    // Logging off or shutting down saves what a close saves.
    if (msg == WM_QUERYENDSESSION) {
        FormCloseQuery();
        return TRUE;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TForm1::OnTimer(UINT_PTR id) {
    if (id == kTimer1) Timer1Timer();
    if (id == kDragTimer) DragTimerTimer();
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

void TForm1::WriteDefaultMenuIfMissing() {
    const std::wstring path = MenuPath();
    if (ui::FileExists(path)) return;
    // A crash during the last save leaves the complete new file beside a missing one.
    if (MenuStore::RecoverMenuFile(path)) return;
    if (!ui::WriteFileAtomic(path, DefaultMenuText))
        throw std::runtime_error("the default menu file cannot be written");
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
    // 1
    VersionString = GetFileVersionString(ui::ModuleFileName(), L"FileVersion");
    // 2
    for (int level = 1; level <= 3; ++level) ItemLists[level].clear();
    ScrollMode[1] = 0;
    ScrollMode[2] = 1;
    ScrollMode[3] = 1;
    ui::SetScreenCursor(IDC_WAIT);
    // 3: one INI object until stage 15
    {
        ui::Ini config(ProgramFolder() + L"config.ini");
        Settings.HideSplashScreen = ReadHideSplashScreen(config);
        splashSuppressed_ = Settings.HideSplashScreen || !FirstArgument().empty();
        // 4
        AppDir = ProgramFolder();
        SystemDir = GetSystemDir();
        MediaKind = MediaKindOf(AppDir);
        CacheDir = MediaKind == 0 ? AppDir + L"cache\\" : GetTempDir();
        // 5
        if (!splashSuppressed_) splash_ = std::make_unique<SplashWindow>(AppDir + L"splash.png");
        SplashTimerTimer();
        // 6
        Compositor.TrayIconImage = nullptr;
        Compositor.WindowBlend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        InitColorMatrices(Compositor);
        Skin.ShowCaption = false;
        // 7
        PopupMode = false;
        ChooseMenuFile();
        SplashTimerTimer();
        // 8
        WriteDefaultMenuIfMissing();
        SplashTimerTimer();
        // 9
        ReadLock(config, Settings);
        Lock1.Checked = Settings.lock;
        Lock1.Caption = Settings.lock ? L"Unlock" : L"Lock";
        // 10
        ReadAppearance(config, Settings, DesktopMode, VistaOrLater);
        // 11
        DecidePopupMode();
        SplashTimerTimer();
        // 12
        ReadRemaining(config, Settings, AppDir);
        SetLeft(Settings.X);
        SetTop(Settings.Y);
        ShowCount = Settings.ShowCount;
        MoveSoundData = ui::ReadFileBytes(AppDir + L"move.wav").value_or(std::string());
        // 13
        if (Settings.IndexOnStart == 1) BuildIndex();
        // 14
        ApplyHandCursor();
    }
    // 15
    Messages = MessageTexts{};
    SelectedIndex[1] = -1;
    SplashTimerTimer();
    // 16
    SetTop(ClampTop(Top(), GetSystemMetrics(SM_CYSCREEN)));
    // 17
    Compositor.WorkBitmap = std::make_unique<ui::Dib>(1, 1);
    Compositor.IconAttributes = std::make_unique<Gdiplus::ImageAttributes>();
    Compositor.TransparencyAttributes = std::make_unique<Gdiplus::ImageAttributes>();
    SplashTimerTimer();
    // 18
    LoadSkin(Settings.LastSkin);
    // 19
    PlaceInitially();
    SplashTimerTimer();
    // 20
    if (!ui::DirectoryExists(CacheDir)) CreateDirectoryW(CacheDir.c_str(), nullptr);
    // 21
    LoadPlugins();
    // 22
    MakeLayeredToolWindow(*this);
    DragAcceptFiles(Handle(), TRUE);
    // 23
    BuildMainMenu();
    SplashTimerTimer();
    // 24
    GetCursorPos(&PopupPoint);
    // 25
    RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 0);
    // 26
    SlideIn();
    SplashTimerTimer();
    // 27
    StartTimer(kTimer1, 300);
    ui::SetScreenCursor(nullptr);
}

void TForm1::CloseMIClick() {
    // TODO(window effects): the closing fade (effect 111) on the visible sub-menu
    // windows, then on this one; RenderMenuWindow plays it once it exists.
    RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 111);
    Close();
}

bool TForm1::FormCloseQuery() {
    // Nothing can be written on a CD-ROM; the pop-up clean-up below still runs.
    const bool writes = MediaKind != 2;
    const bool oneShot = !FirstArgument().empty();
    if (writes) {
        ui::Ini config(AppDir + L"config.ini");
        WriteCloseSettings(config, Top(), Left(), Settings.lock, PopupMode && !oneShot);
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

// An error that no routine caught: the hook goes, the program ends, no message.
void TForm1::ApplicationEvents1Exception() {
    RemoveHook();
    ui::Application::Instance().Terminate();
}

void TForm1::FormClose() {
    Hide();
    ui::Application::Instance().Terminate();
}

void TForm1::FormDestroy() {
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
