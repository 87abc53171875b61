// The sub-menu windows' life and pointer input: the hot-zone panels, the tracking of
// the row under the pointer, the third level, the press, the release and the wheel.
// The renderer lives in form2_render.cpp, the rows' context menu in form2_menu.cpp.
#include "popups/form2.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/hot_zones.h"
#include "core/menu_nodes.h"
#include "core/motion.h"
#include "core/mouse_input.h"
#include "core/slide_plan.h"
#include "popups/zv_hint.h"
#include "render/compositor.h"
#include "render/row_geometry.h"
#include "render/skin.h"
#include "ui/cursor.h"
#include "ui/handles.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <utility>

namespace popups {
namespace {

bool Shown(const ui::Form* form) { return form && form->Visible(); }
void HideForm(ui::Form* form) {
    if (form) form->Hide();
}

// A group row opens a further level, and so does a folder shown as a menu.
bool IsFolderListing(const core::TLNItem& item) { return item.Type == 1 && item.Param1 == L"1"; }
bool OpensLevel(const core::TLNItem& item) { return item.Type == 2 || IsFolderListing(item); }

// The item whose group the window of `level` shows: the selected row of the level
// above, by the one row rule.
const core::TLNItem* ParentItem(const core::TForm1& f, int level) {
    const int above = level - 1;
    return core::HoveredItem(f.ItemLists[above], f.SelectedIndex[above] - 1, f.ScrollMode[above], f.ScrollTop);
}

// The window of `level` lists a folder's files.
bool ListsFolder(const core::TForm1& f, int level) {
    const core::TLNItem* parent = ParentItem(f, level);
    return parent && IsFolderListing(*parent);
}

const core::TLNItem* SelectedItem(const core::TForm1& f, int level) {
    return core::HoveredItem(f.ItemLists[level], f.SelectedIndex[level] - 1, f.ScrollMode[level], f.ScrollTop);
}

void PlayMoveSound(const core::TForm1& f) {
    if (f.Settings.MoveSound != 0 && !f.MoveSoundData.empty())
        PlaySoundW(reinterpret_cast<LPCWSTR>(f.MoveSoundData.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

// A repaint with the row lit at once, without the skin's hover animation.
void RenderWithoutAnimation(core::TForm1& f, ui::Form& form, int level, int row) {
    const bool animation = f.Parts.AnimationLoaded;
    ui::ScopeExit restore([&f, animation] { f.Parts.AnimationLoaded = animation; });
    f.Parts.AnimationLoaded = false;
    f.RenderMenuWindow(true, form, f.LevelImages[level].get(), row, 0);
}

}  // namespace

void TForm2::InitDropTarget(ui::Form& form) {
    core::MakeLayeredToolWindow(form);
    DragAcceptFiles(form.Handle(), TRUE);
    core::Form1->SplashTimerTimer();
}

void TForm2::CreateParams(ui::CreateParams& params) {
    params.className = L"TForm2";
    params.style = WS_POPUP;
}

void TForm2::FormCreate() { InitDropTarget(*this); }

void TForm2::FormDestroy() {
    DragAcceptFiles(Handle(), FALSE);
    // The shell object must go before OLE shuts down, which follows the windows.
    DragDataObject.Reset();
}

LRESULT TForm2::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A press never activates a sub-menu window, as showing it never does: the
    // activation gains nothing (the context menu brings its own owner forward), and
    // under Wine it comes back a moment later as the application's deactivation,
    // which ends a drag that just began.
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    // ShowWindow(SW_HIDE) sends it; that is how every caller hides the window.
    if (msg == WM_SHOWWINDOW && !wp && Tag == 2) FormHide();
    if (msg == WM_DROPFILES) {
        WMDropFiles(reinterpret_cast<HDROP>(wp));
        return 0;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TForm2::FormHide() { ShowPanels(false); }

void TForm2::ShowPanels(bool visible) {
    for (auto& panel : core::SubPanels) {
        if (!panel) continue;
        if (visible) panel->Show();
        else panel->Hide();
    }
    core::LastSubPanel = -1;
    core::SubPanelsShown = visible;
}

void TForm2::MouseEnter() {
    // A drag that began in the main window keeps the capture there, so this window
    // sees no moves: its panels take over and open the third level on entry.
    // A press held on level 3 is a drag of that group's row: a panel must not swap
    // the group under it.
    if (Tag == 2 && core::IsLeftButtonDown() && !(core::Form3 && GetCapture() == core::Form3->Handle()))
        ShowPanels(true);
}

void TForm2::MouseDown(ui::MouseButton button, UINT shift, int x, int y) {
    if (button == ui::MouseButton::Left) pressed_ = true;
    FormMouseDown(button, shift, x, y);
}

void TForm2::MouseMove(UINT shift, int x, int y) { FormMouseMove(shift, x, y); }

void TForm2::MouseUp(ui::MouseButton button, UINT shift, int x, int y) {
    if (button == ui::MouseButton::Left) pressed_ = false;
    FormMouseUp(button, shift, x, y);
}

void TForm2::MouseWheel(UINT /*shift*/, int delta, int /*x*/, int /*y*/) { FormMouseWheel(delta); }

void TForm2::CaptureLost() {
    const bool pressed = std::exchange(pressed_, false);
    if (!core::Form1 || (!pressed && !core::Form1->Dragging)) return;
    // The release goes to whoever took the capture: the press and its drag end here,
    // or the next plain release would end the drag as a drop.
    ui::SetScreenCursor(core::SavedScreenCursor);
    core::Form1->EndDrag();
    if (core::Form2) core::Form2->ShowPanels(false);
}

// --- pointer tracking

void TForm2::FormMouseMove(UINT /*shift*/, int x, int y) {
    core::TForm1* main = core::Form1;
    if (!main) return;
    core::TForm1& f = *main;
    const int level = Tag;
    // A listed file held and pulled off its row, also straight out of the window,
    // goes out to other programs.
    if (DragOutStarts(x, y)) {
        DragOut();
        return;
    }
    // Under capture the moves go on beyond the window: a drag from here towards
    // Form3 must neither pick other rows here nor swap Form3 as it goes.
    if (GetCapture() == Handle()) {
        RECT client{};
        GetClientRect(Handle(), &client);
        if (!PtInRect(&client, POINT{x, y})) return;
    }
    if (level == 2 && core::Animating) {
        Hide();
        return;
    }
    if (level == 2 && Shown(core::Form3)) core::SleepDelay(f.Settings.HideGroupDelay);

    const int band = f.ScrollMode[level] != 0 ? f.Skin.ItemSize : 0;
    const long long areaTop = static_cast<long long>(f.Skin.HeaderSize) + band;
    const long long areaBottom = static_cast<long long>(Height()) - f.Skin.BottomMargin - band;
    if (y < areaTop || y > areaBottom) {
        // Both levels tell their plug-ins, as the main window does.
        f.PluginLeave(level - 1, f.PluginItemRect);
        if (f.SelectedIndex[level] == -1) return;
        if (level == 2) HideForm(core::Form3);
        f.RenderMenuWindow(true, *this, f.LevelImages[level].get(), -1, 0);
        f.SelectedIndex[level] = -1;
        return;
    }
    const int row = core::RowAtY(f.ItemLists[level], y, f.FirstShownRow(level), band, f.Skin);
    if (row == 0 || row == f.SelectedIndex[level]) return;
    if (f.ScrollMode[level] != 0 && row > f.ShowCount) return;
    const core::TLNItem* hovered =
        core::HoveredItem(f.ItemLists[level], row - 1, f.ScrollMode[level], f.ScrollTop);
    if (!hovered) return;
    const core::TLNItem item = *hovered;  // the repaints below may rebuild the lists
    f.PluginLeave(level - 1, f.PluginItemRect);
    f.SelectedIndex[level] = row;
    f.PluginEnter(level - 1, f.PluginItemRect);
    if (f.Settings.ShowHint == 1 && !f.Skin.ShowCaption) ShowRowHint(level, row - 1, item);
    if (level == 3) {
        PlayMoveSound(f);
        f.RenderMenuWindow(true, *this, f.LevelImages[3].get(), row - 1, 0);
        return;
    }
    if (item.Type == 2 && f.Settings.GroupItemAnimationOFF == 1)
        RenderWithoutAnimation(f, *this, 2, row - 1);
    else
        f.RenderMenuWindow(true, *this, f.LevelImages[2].get(), row - 1, 0);
    if (OpensLevel(item)) {
        OpenThirdLevelByHover(row, item);
    } else if (Shown(core::Form3)) {
        // The closing animation of a sub-menu window is its opening code times ten.
        f.RenderMenuWindow(true, *core::Form3, f.LevelImages[3].get(), -1, f.Settings.Menu * 10);
        core::Form3->Hide();
    }
    PlayMoveSound(f);
}

// --- the third level

void TForm2::OpenThirdLevelByHover(int row, const core::TLNItem& item) {
    core::TForm1& f = *core::Form1;
    TForm3* form3 = core::Form3;
    if (!form3) return;
    form3->Hide();
    const bool listing = IsFolderListing(item);
    {
        // The wait cursor while a folder is listed, then what was shown before.
        const LPCWSTR previous = ui::ScreenCursorName();
        ui::ScopeExit restore([listing, previous] {
            if (listing) ui::SetScreenCursor(previous);
        });
        if (listing) {
            ui::SetScreenCursor(core::kWaitCursor);
            if (f.XMLDocument1.HasRoot())
                if (auto subitem = core::LevelContainer(f.XMLDocument1.Root(), 3, f.SelectedIndex, f.ScrollMode,
                                                        f.ScrollTop))
                    f.BuildFolderMenu(item.Run, item.Params, false, *subitem);
        }
        f.ScrollMode[3] = listing ? 1 : 0;
        RenderSubMenu(true, *form3);
    }
    PlaceThirdLevel(row - 1);
    ShowThirdLevel();
}

void TForm2::OpenThirdLevel(core::TMouseControl& panel) {
    core::TForm1* main = core::Form1;
    if (!main || !core::Form3) return;
    // While a press on level 3 holds the capture, its group stays: the drag's source
    // index and the release's target belong to it.
    if (GetCapture() == core::Form3->Handle()) return;
    core::TForm1& f = *main;
    const int row = panel.Tag;
    const core::TLNItem* found = core::HoveredItem(f.ItemLists[2], row, f.ScrollMode[2], f.ScrollTop);
    if (!found) return;
    const core::TLNItem item = *found;
    // The panel's own entry and the housekeeping timer both report it: marked as the
    // last one, the timer's hit test does not open the same level a second time.
    for (size_t i = 0; i < core::SubPanels.size(); ++i)
        if (core::SubPanels[i].get() == &panel) core::LastSubPanel = static_cast<int>(i);
    RenderWithoutAnimation(f, *this, 2, row);
    f.SelectedIndex[2] = row + 1;
    core::Form3->Hide();
    // Set on every opening path: a long group reached through a panel scrolls
    // exactly when it would through the pointer.
    f.ScrollMode[3] = IsFolderListing(item) ? 1 : 0;
    RenderSubMenu(false, *core::Form3);
    PlaceThirdLevel(row);
    ShowThirdLevel();
}

void TForm2::PlaceThirdLevel(int row) {
    core::TForm1& f = *core::Form1;
    TForm2& form2 = *core::Form2;
    TForm3& form3 = *core::Form3;
    const core::SkinMetrics& skin = f.Skin;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Beside Form2, overlapping it by LeftSpace on the side away from the screen edge.
    const long long left =
        f.Settings.Position == core::kPositionRight
            ? static_cast<long long>(screenWidth) - f.Width() - form2.Width() - form3.Width() +
                  2LL * skin.LeftSpace + skin.MainRightSpace
            : static_cast<long long>(form2.Left()) + form2.Width() - skin.LeftSpace;
    // Level with the row as it is drawn: one band lower below a scrolling window's
    // up arrow.
    long long top = static_cast<long long>(form2.Top()) + f.DrawnRowTop(2, row) + skin.TopSpace - skin.HeaderSize;
    const int height = form3.Height();
    if (top + height > screenHeight) top = static_cast<long long>(screenHeight) - height;
    form3.SetBounds(core::ClampToInt(left), core::ClampToInt(top), form3.Width(), height);
}

void TForm2::ShowThirdLevel() {
    core::TForm1& f = *core::Form1;
    TForm3& form3 = *core::Form3;
    f.RenderMenuWindow(false, form3, f.LevelImages[3].get(), -1, f.Settings.Menu);
    f.SelectedIndex[3] = -1;
    SetWindowPos(form3.Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// --- press, release, wheel

void TForm2::FormMouseDown(ui::MouseButton button, UINT /*shift*/, int /*x*/, int y) {
    core::TForm1* main = core::Form1;
    if (!main) return;
    if (button == ui::MouseButton::Left) RecordDragOutEntry();
    core::TForm1& f = *main;
    const int level = Tag;
    if (y < f.Skin.HeaderSize && (button == ui::MouseButton::Left || core::IsLeftButtonDown())) {
        f.Dragging = false;
        return;
    }
    const bool rowSelected = SelectedItem(f, level) != nullptr;
    const int position = core::SelectedPosition(level, f.SelectedIndex, f.ScrollMode, f.ScrollTop);
    if (core::IsShiftDown()) {
        if (!rowSelected) return;  // nothing to drag
        core::SavedScreenCursor = ui::ScreenCursorName();
        ui::SetScreenCursor(core::kDragCursor);
        f.Dragging = true;
        f.DragSourceIndex[level] = position;
        return;
    }
    // A listing is made anew at each opening: its entries are not reordered.
    if (!ListsFolder(f, level) && rowSelected) {
        f.DragSourceIndex[level] = position;
        f.DragTimer.Start();
        return;
    }
    if (f.ScrollMode[level] == 0) return;
    const long long header = f.Skin.HeaderSize;
    const long long band = f.Skin.ItemSize;
    const long long bottom = static_cast<long long>(Height()) - f.Skin.BottomMargin;
    const long long count = static_cast<long long>(f.ItemLists[level].size());
    if (y > header && y < header + band) {
        if (f.ScrollTop > 0) core::ScrollMenu(*this, true);
    } else if (y > bottom - band && y < bottom) {
        // The last row stays the last one shown: ScrollTop never passes count - ShowCount.
        if (static_cast<long long>(f.ScrollTop) + f.ShowCount < count) core::ScrollMenu(*this, false);
    }
}

void TForm2::FormMouseUp(ui::MouseButton button, UINT /*shift*/, int /*x*/, int /*y*/) {
    core::TForm1* main = core::Form1;
    if (!main) return;
    core::TForm1& f = *main;
    try {
        // A release over no row, or over a row the list no longer holds, does nothing
        // but end the press.
        if (const core::TLNItem* found = SelectedItem(f, Tag)) {
            const core::TLNItem item = *found;
            switch (button) {
            case ui::MouseButton::Right: ShowRowMenu(); break;
            case ui::MouseButton::Middle: f.RevealInExplorer(item.Run, item.Type); break;
            case ui::MouseButton::Left:
                if (f.Dragging) EndItemDrag();
                break;
            }
        }
    } catch (...) {
        // Errors of the release are dropped without a message; the release still ends.
    }
    EndRelease();
}

void TForm2::EndRelease() {
    core::TForm1& f = *core::Form1;
    ui::SetScreenCursor(core::SavedScreenCursor);
    if (Tag == 2) {
        f.EndDrag();
        ShowPanels(false);
    } else {
        f.Dragging = false;
    }
}

void TForm2::FormMouseWheel(int delta) { core::ScrollMenu(*this, delta > 0); }

bool TForm2::EditIfNoTarget() {
    core::TForm1* main = core::Form1;
    if (!main) return false;
    const core::TLNItem* item = SelectedItem(*main, Tag);
    if (!item || !item->Run.empty()) return false;
    if (item->Type != 0 && item->Type != 1) return false;
    main->EditItemProperties(Tag);
    return true;
}

void TForm3::CreateParams(ui::CreateParams& params) {
    TForm2::CreateParams(params);
    params.className = L"TForm3";
}

}  // namespace popups
