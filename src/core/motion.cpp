// The main window's motion: the slides in and out of its edge (or the pop-up showing),
// the housekeeping timer, the hot-zone entry, the reactions to deactivation, display
// and power events, the scrolling of sub-menu windows, and the row geometry every
// window maps rows to pixels with.
#include "core/motion.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/row_geometry.h"
#include "core/shell_menu.h"
#include "core/slide_plan.h"
#include "core/startup.h"
#include "dialogs/about.h"
#include "dialogs/edit_box.h"
#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "ui/application.h"
#include "ui/handles.h"

#include <algorithm>

namespace core {

bool Animating = false;
bool RedrawOnly = false;
std::uint8_t ScrollState = 0;

namespace {

constexpr UINT kTimer1Interval = 300;
constexpr UINT kFullScreenInterval = 5000;
constexpr UINT kScrolltimerInterval = 120;

std::function<void(int)>& WaitForTests() {
    static std::function<void(int)> wait;
    return wait;
}
std::function<void(int)>& SleepForTests() {
    static std::function<void(int)> sleep;
    return sleep;
}

// The level whose window ScrollMenu scrolled last: the one the held button repeats on.
int scrollingLevel = 0;

void SlideWait(int ms) {
    if (WaitForTests()) WaitForTests()(ms);
    else WaitWithMessages(ms);
}

// A plain sleep that dispatches nothing. A negative ShowDelay from config.ini would
// otherwise become a wait of about 49 days.
void PlainSleep(int ms) {
    if (ms < 0) ms = 0;
    if (SleepForTests()) SleepForTests()(ms);
    else if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

}  // namespace

void SleepDelay(int ms) {
    // The settings dialog offers at most a second; a larger value from config.ini
    // would stop the program from answering for as long as it says.
    constexpr int kMaxDelay = 1000;
    PlainSleep(std::min(ms, kMaxDelay));
}

namespace {

POINT CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// Down now, or pressed since the last query.
bool LeftButtonPressed() { return GetAsyncKeyState(VK_LBUTTON) != 0; }
bool LeftButtonHeld() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

bool IsVisible(const ui::Form* form) { return form && form->Visible(); }
bool PointerIn(const ui::Form* form) { return form && TForm1::CursorInForm(*form); }
bool PointerInMenuWindows() { return PointerIn(Form1) || PointerIn(Form2) || PointerIn(Form3); }
bool DialogShown() { return IsVisible(Form4) || IsVisible(Form5); }

void HideForm(ui::Form* form) {
    if (form) form->Hide();
}
void HideSubMenusAndHint() {
    HideForm(Form2);
    HideForm(Form3);
    HideForm(ZVHint);
}

// Top of the topmost band without moving, sizing or activating.
void PutOnTopmostBand(ui::Form& form) {
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The toolkit's "bring the application to the front and restore it": its last active
// visible window comes forward, and a minimised application is restored.
void BringApplicationToFront() {
    HWND app = ui::Application::Instance().Handle();
    if (!app) return;
    HWND last = GetLastActivePopup(app);
    if (last && last != app && IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
    if (IsIconic(app)) ShowWindow(app, SW_RESTORE);
}

SlideGeometry GeometryOf(const ui::Form& form) {
    return SlideGeometry{form.Width(), form.Height(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Step(ui::Form& form, const SlidePlan& plan) {
    if (plan.vertical) form.SetTop(form.Top() + plan.step);
    else form.SetLeft(form.Left() + plan.step);
}

void Finish(ui::Form& form, const SlidePlan& plan) {
    if (!plan.final) return;
    if (plan.vertical) form.SetTop(*plan.final);
    else form.SetLeft(*plan.final);
}

// Index of the panel under the pointer that was not the last one entered, or -1.
int NewlyHitPanel(const PanelsArray& panels, int last) {
    const POINT p = CursorPos();
    for (size_t i = 0; i < panels.size(); ++i) {
        RECT r{};
        // Panels are children: their screen rectangle is their client-relative bounds.
        if (!panels[i] || !GetWindowRect(panels[i]->Handle(), &r)) continue;
        if (PointIn(r, p) && static_cast<int>(i) != last) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

void SetMotionClockForTests(std::function<void(int)> wait, std::function<void(int)> sleep) {
    WaitForTests() = std::move(wait);
    SleepForTests() = std::move(sleep);
}

void WaitWithMessages(int ms) {
    if (ms <= 0) return;
    auto& app = ui::Application::Instance();
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (ULONGLONG now = GetTickCount64(); now < end && !app.Terminated(); now = GetTickCount64()) {
        const DWORD left = static_cast<DWORD>(end - now);
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT) == WAIT_OBJECT_0) app.ProcessMessages();
    }
}

bool IsFullScreenAppActive() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // From the top of the z-order down.
    for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, nullptr); w;
         w = FindWindowExW(nullptr, w, nullptr, nullptr)) {
        if (!(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST)) continue;
        RECT r{};
        if (!GetWindowRect(w, &r)) continue;
        if (r.right - r.left == width && r.bottom - r.top == height && IsWindowVisible(w)) return true;
    }
    return false;
}

// --- row geometry

int TForm1::FirstShownRow(int level) const { return ScrollMode[level] != 0 ? ScrollTop : 0; }

int TForm1::ItemTop(int level, int count) const {
    return core::ItemTop(ItemLists[level], FirstShownRow(level), count, Skin);
}

int TForm1::DrawnRowTop(int level, int row) const {
    return SaturatedAdd(ItemTop(level, row), ScrollMode[level] != 0 ? Skin.ItemSize : 0);
}

int TForm1::ItemIndexAtY(int level, int y) const {
    return core::ItemIndexAtY(ItemLists[level], y, FirstShownRow(level), ScrollMode[level] != 0, ShowCount, Skin);
}

bool TForm1::CursorInForm(const ui::Form& form) {
    if (!form.Visible()) return false;
    POINT p{};
    if (!GetCursorPos(&p)) return false;
    const int left = form.Left();
    const int top = form.Top();
    return p.x >= left && p.x < left + form.Width() && p.y >= top && p.y < top + form.Height();
}

bool TForm1::CursorOnTab() {
    POINT p{};
    if (!GetCursorPos(&p)) return false;
    const RECT window{Left(), Top(), Left() + Width(), Top() + Height()};
    return PointIn(TabRectangle(Settings.Position, window, Skin), p);
}

// --- slides

void TForm1::SlideIn() {
    if (Visible()) {
        SetFocus(Handle());
        ForceForeground(ui::Application::Instance().Handle());
    }
    Animating = true;
    ui::ScopeExit done([] { Animating = false; });

    if (PopupMode) {
        HideSubMenusAndHint();
        const POINT at = PopupPlacement(PopupPoint, Height(), GetSystemMetrics(SM_CYSCREEN), Skin);
        SetBounds(at.x, at.y, Width(), Height());
        RenderMenuWindow(true, *this, LevelImages[1].get(), -1, Settings.Menu);
        return;
    }
    if (Settings.OpenOnClick != 1) {
        SleepDelay(Settings.ShowDelay);
        if (!CursorInForm(*this)) return;
    }
    if (!MenuHidden) return;

    RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 0);
    if (Parts.BlurEnabled) {
        // The blur is for the menu as it will show: with MenuHidden still set, a tab
        // skin would switch it off for the whole time the menu is out.
        MenuHidden = false;
        ui::ScopeExit hiddenAgain([this] { MenuHidden = true; });
        ApplyBlurBehind(*this);
    }
    const SlidePlan plan = PlanSlideIn(Settings.Position, GeometryOf(*this), Skin, Settings.SlideInSpeed);
    for (int wait : plan.waits) {
        Step(*this, plan);
        SlideWait(wait);
        if (!IsWindow(Handle())) return;  // closed while messages were dispatched
    }
    Finish(*this, plan);

    BringApplicationToFront();
    MenuHidden = false;
    const UINT interval = TimerInterval(kTimer1);
    StartTimer(kTimer1, interval ? interval : kTimer1Interval);
    Animating = false;
    if (ZVHint) {
        const POINT p = CursorPos();
        FormMouseMove(0, p.x, p.y - Top());
    }
}

void TForm1::RequestOneShotClose() {
    if (closeRequested_) return;
    closeRequested_ = true;
    Close();
}

void TForm1::SlideOut() {
    if (MenuHidden || IsVisible(About)) return;
    if (IsVisible(EditBox)) {
        RenderMenuWindow(true, *this, LevelImages[1].get(), -1, 0);
        EditBox->Hide();
        EditBox->Close();
    }
    Animating = true;
    ui::ScopeExit done([] { Animating = false; });

    auto releaseSubMenus = [this] {
        SelectedIndex[1] = -1;
        for (int level = 2; level <= 3; ++level) {
            CaptionImages[level].reset();
            Compositor.LevelBitmaps[level].reset();
        }
    };
    if (PopupMode) {
        Hide();
        HideSubMenusAndHint();
        if (FirstArgument().empty()) {
            // The hidden pop-up stays inert until it pops up again: the next SlideIn
            // clears Animating, and until then no timer duty shows the window.
            done.Dismiss();
            return;
        }
        // One-shot menu: the first hide ends the program. The window is already
        // hidden, so there is nothing to slide, and MenuHidden stays clear so the
        // timer does not show it again before the close arrives.
        RequestOneShotClose();
        releaseSubMenus();
        return;
    }
    HideSubMenusAndHint();
    if (Settings.PlaceZVOnDesktop) return;  // the desktop window never hides

    const SlidePlan plan = PlanSlideOut(Settings.Position, GeometryOf(*this), Skin, Settings.SlideOutSpeed);
    for (int wait : plan.waits) {
        Step(*this, plan);
        if (wait != kNoWait) PlainSleep(wait);
    }
    Finish(*this, plan);

    ShowHotZones(false);
    MenuHidden = true;
    if (Parts.TabEnabled) {
        RenderMenuWindow(true, *this, LevelImages[1].get(), -1, 0);  // the compositor draws the tab
        if (Parts.BlurEnabled) ApplyBlurBehind(*this);
    }
    releaseSubMenus();
}

// --- the housekeeping timer

namespace {

// a press on the tab of the hidden menu, or on the open sub-menu; true when it
// ends the tick. The button is read once: the query clears its "pressed since" bit.
bool PressDuties(TForm1& f) {
    if (Animating) return false;
    const bool pressed = LeftButtonPressed();
    const bool onTab = f.Parts.TabEnabled ? f.CursorOnTab() : TForm1::CursorInForm(f);
    if (pressed && f.MenuHidden && !MainPanelsShown && onTab) {
        if (f.Settings.lock) return true;
        f.SlideIn();
        if (IsWindow(f.Handle())) f.ShowHotZones(true);
        return true;
    }
    if (!f.MenuHidden && pressed && PointerIn(Form2) && !SubPanelsShown) {
        Form2->ShowPanels(true);
        return true;
    }
    return false;
}

// the hot zones, also while a slide runs; repeats an entry a panel missed.
void HotZoneDuties(TForm1& f) {
    if (MainPanelsShown && TForm1::CursorInForm(f)) {
        const int hit = NewlyHitPanel(MainPanels, LastMainPanel);
        if (hit >= 0) {
            f.HotZoneEnter(*MainPanels[static_cast<size_t>(hit)]);
            LastMainPanel = hit;
        }
    }
    if (SubPanelsShown && PointerIn(Form2)) {
        const int hit = NewlyHitPanel(SubPanels, LastSubPanel);
        if (hit >= 0) {
            Form2->OpenThirdLevel(*SubPanels[static_cast<size_t>(hit)]);
            LastSubPanel = hit;
        }
    }
}

// the hidden window stays glued to its edge and on top of everything, or
// out of sight when hidden from the screen.
void HiddenWindowDuties(TForm1& f) {
    if (!f.MenuHidden) return;
    if (!Animating) {
        const auto glue = GlueToEdge(f.Settings.Position, f.Parts.TabEnabled, f.Width(), f.Height(),
                                     GetSystemMetrics(SM_CXSCREEN), f.Skin);
        if (glue && glue->vertical && f.Top() != glue->value) f.SetTop(glue->value);
        if (glue && !glue->vertical && f.Left() != glue->value) f.SetLeft(glue->value);
    }
    PutOnTopmostBand(f);
    if (f.Settings.HideFromScreen == 1) f.Hide();
    else if (!f.Visible()) f.Show();
}

// hiding from the screen and rolling out when the pointer has left, unless a
// dialog or a context menu is open.
void PointerLeftDuties(TForm1& f) {
    if (DialogShown()) return;
    if (f.Settings.HideFromScreen == 1 && !Animating) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const bool atEdge = PointIn(HideFromScreenStrip(f.Settings.Position, work), CursorPos());
        if (!atEdge && f.MenuHidden) f.Hide();
        else if (!f.Visible()) f.Show();
    }
    const bool contextMenuOpen = f.WinEventHook != nullptr || ContextMenuOpen;
    if (!Animating && contextMenuOpen) return;
    if (f.Settings.RollOutOnMouseOut == 1 && !Animating && !PopupMode && !LeftButtonHeld() && !f.MenuHidden &&
        !contextMenuOpen && !PointerInMenuWindows()) {
        f.SlideOut();
        f.SelectedIndex[1] = -1;
    }
}

}  // namespace

void TForm1::Timer1Timer() {
    // a full-screen program in front: stay out of its way and look less often.
    if (IsFullScreenAppActive()) {
        if (TimerRunning(kTimer1) && TimerInterval(kTimer1) != kFullScreenInterval)
            StartTimer(kTimer1, kFullScreenInterval);
        if (Visible()) Hide();
        return;
    }
    if (TimerRunning(kTimer1) && TimerInterval(kTimer1) != kTimer1Interval) StartTimer(kTimer1, kTimer1Interval);

    if (PressDuties(*this)) return;
    HotZoneDuties(*this);
    HiddenWindowDuties(*this);
    // a plug-in works on a click: keep the menu and give the application the focus.
    if (PluginBusy) {
        if (PointerInMenuWindows() && !PointIn(PluginItemRect, CursorPos()))
            SetActiveWindow(ui::Application::Instance().Handle());
        return;
    }
    try {
        PointerLeftDuties(*this);
    } catch (...) {
        // a failing repaint must never stop the housekeeping
    }
}

void TForm1::HotZoneEnter(TMouseControl& sender) {
    const int row = sender.Tag;
    const TLNItem* item = HoveredItem(ItemLists[1], row, ScrollMode[1], ScrollTop);
    if (!item) return;
    const int type = item->Type;
    {
        // The row lights up at once, without the skin's hover animation.
        const bool animation = Parts.AnimationLoaded;
        Parts.AnimationLoaded = false;
        ui::ScopeExit restore([this, animation] { Parts.AnimationLoaded = animation; });
        RenderMenuWindow(true, *this, LevelImages[1].get(), row, 0);
    }
    SelectedIndex[1] = row + 1;
    HideForm(Form3);
    if (!Form2) return;
    Form2->Hide();
    ScrollMode[2] = type == 1 ? 1 : 0;
    Form2->SetTop(Top() + ItemTop(1, row) - Skin.HeaderSize);
    Form2->RenderSubMenu(true, *Form2);
    // The sub-menu overlaps the main window by LeftSpace on the side away from the edge.
    const int left = Settings.Position == kPositionRight
                         ? GetSystemMetrics(SM_CXSCREEN) - Width() - Form2->Width() + Skin.LeftSpace +
                               Skin.MainRightSpace
                         : Left() + Width() - Skin.LeftSpace;
    Form2->SetLeft(left);
    RenderMenuWindow(false, *Form2, LevelImages[2].get(), -1, Settings.Menu);
    SelectedIndex[2] = -1;
    PutOnTopmostBand(*Form2);
}

// --- deactivation, display and power

void TForm1::ApplicationEvents1Deactivate() {
    if (DialogShown()) return;
    if (!Settings.PlaceZVOnDesktop) PutOnTopmostBand(*this);
    if (IsVisible(About)) return;
    if (!PluginBusy && !PointerInMenuWindows()) SlideOut();
    Dragging = false;
}

void TForm1::WMDisplayChange() { SlideOut(); }

void TForm1::WMPowerBroadcast() { RenderMenuWindow(true, *this, LevelImages[1].get(), -1, 0); }

// --- scrolling of long sub-menus

void ScrollMenu(ui::Form& form, bool up) {
    TForm1* main = Form1;
    const int level = form.Tag;
    if (!main || level < 1 || level > 3 || !main->ScrollMode[level]) {
        RedrawOnly = false;
        return;
    }
    RedrawOnly = true;
    ui::ScopeExit redrawn([] { RedrawOnly = false; });
    const int count = static_cast<int>(main->ItemLists[level].size());
    int& top = main->ScrollTop;
    if (up) {
        if (top <= 0) return;
        --top;
        ScrollState = 0;
    } else {
        // The last row shows once ScrollTop + ShowCount reaches the count, which is
        // also where the compositor disables the down arrow.
        if (top + main->ShowCount >= count) return;
        ++top;
        ScrollState = 1;
    }
    if (Form2) Form2->RenderSubMenu(true, form);
    RedrawOnly = false;
    const POINT p = CursorPos();
    main->RenderMenuWindow(false, form, main->LevelImages[level].get(), main->ItemIndexAtY(level, p.y - form.Top()),
                           0);
    scrollingLevel = level;
    main->StartTimer(TForm1::kScrolltimer, kScrolltimerInterval);
}

void TForm1::ScrolltimerTimer() {
    try {
        if (IsVisible(EditBox) || MenuHidden) {
            StopTimer(kScrolltimer);
            return;
        }
        if (LeftButtonPressed()) {
            // The press is replayed only on the sub-menu window that scrolls: on the
            // main window it would start an item drag, and a drag can delete an item.
            popups::TForm2* target = scrollingLevel == 3 ? Form3 : scrollingLevel == 2 ? Form2 : nullptr;
            if (target && CursorInForm(*target)) {
                POINT p = CursorPos();
                ScreenToClient(target->Handle(), &p);
                // Scrolls again while the pointer is on a scroll band.
                target->FormMouseDown(ui::MouseButton::Left, MK_LBUTTON, p.x, p.y);
            }
            return;
        }
        DragTimer.Stop();
        StopTimer(kScrolltimer);
    } catch (...) {
    }
}

}  // namespace core
