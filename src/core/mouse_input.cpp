// The main window's mouse input: hover tracking and the first sub-menu window,
// header and item drags, the context menu with its preview line, the hand cursor.
#include "core/mouse_input.h"

#include "core/motion.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/menu_nodes.h"
#include "core/startup.h"
#include "dialogs/edit_box.h"
#include "dialogs/form4.h"
#include "dialogs/language.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "render/compositor.h"
#include "render/row_geometry.h"
#include "ui/cursor.h"
#include "ui/files.h"
#include "ui/handles.h"
#include "ui/images.h"
#include "ui/strings.h"

#include <mmsystem.h>

namespace core {

LPCWSTR SavedScreenCursor = nullptr;

namespace {

// The forms are created one after the other, and the main window may handle the
// pointer (a slide-in ends with a move) before the later ones exist.
bool Shown(const ui::Form* form) { return form && form->Visible(); }
void HideForm(ui::Form* form) {
    if (form) form->Hide();
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

bool IsPreviewExtension(const std::wstring& ext) {
    return ext == L".jpg" || ext == L".png" || ext == L".bmp" || ext == L".gif";
}

}  // namespace

bool IsLeftButtonDown() {
    // GetAsyncKeyState reads the physical buttons.
    const int key = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

bool IsShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

SIZE PreviewSize(int width, int height) {
    if (width <= 0 || height <= 0) return SIZE{0, 0};
    if (width >= height) return SIZE{250, static_cast<LONG>(ui::RoundEven(height * 250.0 / width))};
    return SIZE{static_cast<LONG>(ui::RoundEven(width * 300.0 / height)), 300};
}

void AddContextMenuEntries(ui::PopupMenu& menu) {
    // The captions the language files relabel come from their table.
    auto add = [&menu](const wchar_t* name) { menu.Add(name, std::wstring(dialogs::DefaultEntryCaption(name))); };
    add(L"FindMI");
    add(L"Contextmenu1");
    menu.AddSeparator(L"N4");
    add(L"NewMI");
    add(L"NewGroupMI");
    add(L"NewSepMI");
    menu.AddSeparator(L"N15");
    add(L"Cut");
    add(L"Copy1");
    add(L"Paste1");
    add(L"DelMI");
    menu.AddSeparator(L"N8");
    add(L"PropMI");
    menu.AddSeparator(L"N9");
    ui::MenuItem& blank = menu.Add(L"blank1", L"");
    blank.OwnerDraw = true;
    blank.Enabled = false;
    blank.Visible = false;
    menu.Add(L"Lock1", L"Lock");
    add(L"SettingsMI");
    add(L"AboutMI");
    menu.AddSeparator(L"N12");
    add(L"CloseMI");
}

void CALLBACK MenuEndWinEventProc(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD) {
    if (event != EVENT_SYSTEM_MENUPOPUPEND || !Form1) return;
    try {
        Form1->MenuEndCleanUp();
    } catch (...) {
        // nothing may cross the callback
    }
}

// --- TForm1: the mouse handlers of the base form

void TForm1::MouseDown(ui::MouseButton button, UINT shift, int x, int y) { FormMouseDown(button, shift, x, y); }
void TForm1::MouseMove(UINT shift, int x, int y) { FormMouseMove(shift, x, y); }
void TForm1::MouseUp(ui::MouseButton button, UINT shift, int x, int y) { FormMouseUp(button, shift, x, y); }
void TForm1::Click() { FormClick(); }
void TForm1::DblClick() { FormDblClick(); }

// --- hover

void TForm1::FormMouseMove(UINT /*shift*/, int x, int y) {
    if (Animating) return;
    if (HeaderDrag && IsLeftButtonDown()) {
        if (Shown(Form3)) Form3->Hide();
        if (Shown(Form2)) Form2->Hide();
        if (Settings.Position == 0 || Settings.Position == 1) SetTop(Top() + y - DragStart.y);
        else if (Settings.Position == 2 || Settings.Position == 3) SetLeft(Left() + x - DragStart.x);
        // The desktop window moves in both directions.
        if (Settings.PlaceZVOnDesktop) SetLeft(Left() + x - DragStart.x);
        HideForm(ZVHint);
    }
    if (GetCapture() == Handle()) {
        // Under capture the moves go on beyond the window: a drag from here over the
        // open sub-menu must not pick other rows here, which would close it.
        RECT client{};
        GetClientRect(Handle(), &client);
        if (!PtInRect(&client, POINT{x, y})) return;
    }
    if (Shown(Form2)) {
        if (Settings.HideGroupDelay > 0) SleepDelay(Settings.HideGroupDelay);
        if (SelectedIndex[2] > 0 && Parts.AnimationLoaded) {
            ui::ScopeExit restore([this] { Parts.AnimationLoaded = true; });
            Parts.AnimationLoaded = false;
            RenderMenuWindow(false, *Form2, LevelImages[2].get(), SelectedIndex[2] - 1, 0);
        }
    }
    if (Animating) return;
    if (MenuHidden) {
        if (Settings.OpenOnClick != 0) return;
        const bool overWindow = x >= 0 && y >= 0 && x < Width() && y < Height();
        if (Parts.TabEnabled ? CursorOnTab() : overWindow) SlideIn();
        return;
    }
    if (y < Skin.HeaderSize || y > Height() - Skin.BottomMargin) {
        PluginLeave(0, PluginItemRect);
        if (SelectedIndex[1] < 1) return;
        HideForm(Form2);
        HideForm(Form3);
        RenderMenuWindow(true, *this, LevelImages[1].get(), -1, 0);
        SelectedIndex[1] = -1;
        return;
    }
    const int row = RowAtY(ItemLists[1], y, FirstShownRow(1), 0, Skin);
    if (row < 1 || row == SelectedIndex[1]) return;
    PluginLeave(0, PluginItemRect);
    SelectedIndex[1] = row;
    const TLNItem* hovered = HoveredItem(ItemLists[1], row - 1, ScrollMode[1], ScrollTop);
    if (!hovered) return;
    const TLNItem item = *hovered;  // the redraws below may rebuild the list
    PluginEnter(0, PluginItemRect);
    if (Settings.ShowHint == 1 && !Skin.ShowCaption) popups::ShowRowHint(1, row - 1, item);
    {
        const bool animation = Parts.AnimationLoaded;
        ui::ScopeExit restore([this, animation] { Parts.AnimationLoaded = animation; });
        if (item.Type == 2 && Settings.GroupItemAnimationOFF == 1) Parts.AnimationLoaded = false;
        RenderMenuWindow(true, *this, LevelImages[1].get(), row - 1, 0);
    }
    if (item.Type == 2 || (item.Type == 1 && item.Param1 == L"1")) {
        OpenSubMenu(row, item);
    } else {
        // The closing animation of a sub-menu window is its opening code times ten.
        if (Shown(Form2)) RenderMenuWindow(true, *Form2, LevelImages[2].get(), -1, Settings.Menu * 10);
        HideForm(Form2);
        HideForm(Form3);
    }
    if (Settings.MoveSound != 0 && !MoveSoundData.empty())
        PlaySoundW(reinterpret_cast<LPCWSTR>(MoveSoundData.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

void TForm1::OpenSubMenu(int row, const TLNItem& item) {
    HideForm(Form3);
    HideForm(Form2);
    if (!Form2) return;
    {
        // The wait cursor while a folder is listed, then what was shown before (a
        // drag's cursor survives a hover over a folder).
        const bool listing = item.Type == 1;
        const LPCWSTR previous = ui::ScreenCursorName();
        ui::ScopeExit restore([listing, previous] {
            if (listing) ui::SetScreenCursor(previous);
        });
        if (listing) {
            ui::SetScreenCursor(kWaitCursor);
            if (XMLDocument1.HasRoot())
                if (auto subitem = LevelContainer(XMLDocument1.Root(), 2, SelectedIndex, ScrollMode, ScrollTop))
                    BuildFolderMenu(item.Run, item.Params, false, *subitem);
        }
        // A generated folder listing scrolls; the renderer decides finally.
        ScrollMode[2] = item.Type == 1 ? 1 : 0;
        Form2->RenderSubMenu(true, *Form2);
    }
    const int width = Form2->Width();
    const int height = Form2->Height();
    const int left = Settings.Position == 1
                         ? ScreenWidth() - Width() - width + Skin.LeftSpace + Skin.MainRightSpace
                         : Left() + Width() - Skin.LeftSpace;
    int top = ClampToInt(static_cast<long long>(Top()) + Skin.TopSpace - Skin.HeaderSize + ItemTop(1, row - 1));
    if (top + height > ScreenHeight()) top = ScreenHeight() - height;
    Form2->SetBounds(left, top, width, height);
    RenderMenuWindow(false, *Form2, LevelImages[2].get(), -1, Settings.Menu);
    SelectedIndex[2] = -1;
    SetWindowPos(Form2->Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// --- press, drag timer, release

void TForm1::FormMouseDown(ui::MouseButton button, UINT /*shift*/, int x, int y) {
    if (button != ui::MouseButton::Left) return;
    if (Animating) return;
    if (y < Skin.HeaderSize && !PopupMode) {
        HeaderDrag = true;
        Dragging = false;
        DragStart = POINT{x, y};
        RenderMenuWindow(true, *this, LevelImages[1].get(), -1, 0);
        return;
    }
    // A press off every row has nothing to drag.
    const int source = SelectedIndex[1] - 1;
    if (!HoveredItem(ItemLists[1], source, ScrollMode[1], ScrollTop)) return;
    if (IsShiftDown()) {
        SavedScreenCursor = ui::ScreenCursorName();
        ui::SetScreenCursor(kDragCursor);
        HeaderDrag = false;
        Dragging = true;
        DragStart = POINT{x, y};
        DragSourceIndex[1] = source;
        return;
    }
    if (!MenuHidden) {
        DragSourceIndex[1] = source;
        DragTimer.Start();
    }
}

void TForm1::DragTimerTimer() {
    DragTimer.Stop();  // one shot
    if (Shown(Form4) || Shown(EditBox) || MenuHidden || Settings.lock) return;
    // The button held now, not "pressed at some time since the last query", and held
    // on the menu window it was pressed on (the sub-menu windows start this timer
    // too): a release we never saw, or one that goes to whoever took the capture,
    // must not leave a drag behind.
    const HWND holder = GetCapture();
    const bool heldHere = holder && (holder == Handle() || (Form2 && holder == Form2->Handle()) ||
                                     (Form3 && holder == Form3->Handle()));
    if (IsLeftButtonDown() && heldHere) {
        Dragging = true;
        ui::SetScreenCursor(kDragCursor);
    }
}

void TForm1::FormMouseUp(ui::MouseButton button, UINT /*shift*/, int x, int y) {
    try {
        if (button == ui::MouseButton::Left && HeaderDrag) EndHeaderDrag(x, y);
        if (!Animating) ReleaseOverRows(button);
    } catch (...) {
        // Errors of the release are discarded; the drag still ends.
    }
    ui::SetScreenCursor(SavedScreenCursor);
    EndDrag();
    ShowHotZones(false);
}

void TForm1::CaptureLost() {
    if (!Dragging && !HeaderDrag) return;
    // The release goes to whoever took the capture, so the drag ends here as a
    // release ends it; left standing, the next plain click would end it as a drop.
    HeaderDrag = false;
    ui::SetScreenCursor(SavedScreenCursor);
    EndDrag();
    ShowHotZones(false);
}

void TForm1::EndHeaderDrag(int x, int y) {
    ui::ScopeExit done([this] { HeaderDrag = false; });
    POINT p{x, y};
    ClientToScreen(Handle(), &p);
    std::uint8_t side = Settings.Position;
    if (side == 0 && p.x > ScreenWidth() - 100) side = 1;
    else if (side == 1 && p.x < 100) side = 0;
    if (side == Settings.Position) return;
    Settings.Position = side;
    positionSwitched_ = true;
    LoadSkin(Settings.LastSkin);
    for (int level = 1; level <= 3; ++level) CaptionImages[level].reset();
    if (XMLDocument1.HasRoot()) DeleteCachedImages(XMLDocument1.Root(), CacheDir, ImageExt);
    BuildMainMenu();
    // Shown at the new edge at once, as a finished slide-in leaves it.
    SetLeft(side == 1 ? ScreenWidth() - Width() + Skin.MainRightSpace : -Skin.MainLeftSpace);
    RenderMenuWindow(false, *this, LevelImages[1].get(), -1, 1);
}

void TForm1::ReleaseOverRows(ui::MouseButton button) {
    const TLNItem* hovered = HoveredItem(ItemLists[1], SelectedIndex[1] - 1, ScrollMode[1], ScrollTop);
    if (!hovered) {
        if (button != ui::MouseButton::Right) return;
        InstallMenuEndHook();
        PopupMenu1.Tag = 0;
        SetPopupItemsVisible(false, 4);
        PopupAtCursor();
        return;
    }
    const TLNItem item = *hovered;
    switch (button) {
    case ui::MouseButton::Right: ShowRowMenu(item); break;
    case ui::MouseButton::Left:
        if (Dragging) EndItemDrag();
        break;
    case ui::MouseButton::Middle: RevealInExplorer(item.Run, item.Type); break;
    }
}

void TForm1::EndItemDrag() {
    const int source = DragSourceIndex[1];
    if (source < 0 || source >= static_cast<int>(ItemLists[1].size())) return;
    if (Form2 && CursorInForm(*Form2)) {
        DropIntoOpenGroup(source);
        return;
    }
    const bool overMain = CursorInForm(*this);
    const bool overForm3 = Form3 && CursorInForm(*Form3);
    if (!overMain && !overForm3) {
        // The last row is never dragged away.
        if (MainItemCount > 1) DeleteItem(source, Settings.HideWarnings != 0);
        return;
    }
    if (source == SelectedIndex[1]) return;  // onto the row above: the order stays
    HideForm(Form3);
    HideForm(Form2);
    ui::SetScreenCursor(kWaitCursor);
    MoveItem(source, SelectedIndex[1]);
    RenderMenuWindow(false, *this, LevelImages[1].get(), SelectedIndex[1] - 1, 0);
    ui::SetScreenCursor(SavedScreenCursor);
    ShowHotZones(false);
}

void TForm1::DropIntoOpenGroup(int source) {
    const int target = SelectedIndex[1] - 1;
    if (target == source) return;
    const TLNItem* group = HoveredItem(ItemLists[1], target, ScrollMode[1], ScrollTop);
    // A folder's listing is generated anew at each opening: an item put there would
    // be lost. Only a real group takes it.
    if (!group || group->Type != 2 || IsFolderMenuItem(ItemLists, SelectedIndex, ScrollMode, ScrollTop, 2)) return;
    if (!MenuEditable()) return;
    ui::XmlNode root = XMLDocument1.Root();
    const int count = static_cast<int>(root.ElementCount());
    if (source >= count || target >= count) return;
    ui::XmlNode moving = root.ElementAt(static_cast<size_t>(source));
    ui::XmlNode container = root.ElementAt(static_cast<size_t>(target)).Child(L"subitem");
    container.InsertElementAt(moving.CloneDeep(), 0);
    root.RemoveChild(moving);
    // A failed write took the move back: the rows and the open group are as before.
    if (!SaveMenuAndRebuild(0)) return;
    if (source < target) --SelectedIndex[1];
    Form2->RenderSubMenu(false, *Form2);
    RenderMenuWindow(false, *this, LevelImages[1].get(), SelectedIndex[1] - 1, 0);
    RenderMenuWindow(false, *Form2, LevelImages[2].get(), 0, 0);
}

void TForm1::EndDrag() {
    Dragging = false;
    ui::SetScreenCursor(nullptr);
    DragTimer.Stop();
}

// --- the context menu

void TForm1::SetUpPopupMenu1() {
    AddContextMenuEntries(PopupMenu1);
    ui::MenuItem& blank = PopupMenu1.Item(L"blank1");
    blank.OnMeasureItem = [this](MEASUREITEMSTRUCT& item) { blank1MeasureItem(item); };
    blank.OnDrawItem = [this](const DRAWITEMSTRUCT& item) { blank1DrawItem(item); };
    PopupMenu1.OnPopup = [this] {
        ui::MenuItem& lock = PopupMenu1.Item(L"Lock1");
        lock.Caption = Lock1.Caption;
        lock.Checked = Lock1.Checked;
        lock.Visible = Lock1.Visible;
    };
    // Wine raises no menu-end event, and on Windows another program's menu may end it
    // early: the clean-up runs when the menu returns as well.
    PopupMenu1.OnClose = [this] { MenuEndCleanUp(); };
    PopupMenu1.OnCommand = [this](const ui::MenuItem& item) { PopupMenu1Command(item); };
}

void TForm1::PopupMenu1Command(const ui::MenuItem& item) {
    switch (item.Command) {
    case kFindMI: FindMIClick(); break;
    case kDelMI: DelMIClick(); break;
    case kCloseMI: CloseMIClick(); break;
    case kNewMI: NewMIClick(); break;
    case kNewGroupMI: NewGroupMIClick(); break;
    case kNewSepMI: NewSepMIClick(); break;
    case kCut:
    case kCopy1: Copy1Click(item); break;
    case kPaste1: Paste1Click(); break;
    case kLock1: Lock1Click(); break;
    case kSettingsMI: SettingsMIClick(); break;
    case kAboutMI: AboutMIClick(); break;
    case kPropMI: PropMIClick(); break;
    case kContextmenu1: Contextmenu1Click(); break;
    default: break;
    }
}

void TForm1::SetPopupItemsVisible(bool itemCommands, std::uint8_t variant) {
    auto show = [this](std::initializer_list<const wchar_t*> names, bool visible) {
        for (const wchar_t* name : names) PopupMenu1.Item(name).Visible = visible;
    };
    show({L"FindMI", L"Contextmenu1"}, itemCommands);
    const bool edits = variant == 0 || variant == 2;
    show({L"NewMI", L"NewGroupMI", L"NewSepMI", L"Cut", L"Copy1", L"Paste1", L"DelMI", L"PropMI"}, edits);
    const bool program = variant == 0 || variant == 4;
    show({L"N9", L"SettingsMI", L"AboutMI", L"N12", L"CloseMI"}, program);
    show({L"blank1"}, variant == 4 && itemCommands);
    Lock1.Visible = CursorInForm(*this);
}

void TForm1::InstallMenuEndHook() {
    if (WinEventHook) return;  // one hook at a time
    WinEventHook = SetWinEventHook(EVENT_SYSTEM_MENUPOPUPEND, EVENT_SYSTEM_MENUPOPUPEND, nullptr,
                                   &MenuEndWinEventProc, 0, 0, WINEVENT_OUTOFCONTEXT);
}

void TForm1::MenuEndCleanUp() {
    PreviewImage.reset();
    PopupMenu1.Item(L"blank1").Visible = false;
    if (WinEventHook) {
        UnhookWinEvent(WinEventHook);
        WinEventHook = nullptr;
    }
}

void TForm1::ShowRowMenu(const TLNItem& item) {
    const bool findable = item.Type == 0 || item.Type == 1;
    PopupMenu1.Item(L"FindMI").Enabled = findable;
    PopupMenu1.Item(L"Contextmenu1").Enabled = findable;
    PopupMenu1.Item(L"PropMI").Enabled = item.Type != 777 && item.Type != 55;
    const bool notLast = MainItemCount != 1;
    PopupMenu1.Item(L"DelMI").Enabled = notLast;
    PopupMenu1.Item(L"Cut").Enabled = notLast;
    SetPopupItemsVisible(true, 0);
    PopupMenu1.Item(L"Paste1").Enabled = ClipboardNode.has_value();
    InstallMenuEndHook();
    PopupMenu1.Tag = 0;
    LoadPreview(item.Run);
    PopupAtCursor();
}

void TForm1::LoadPreview(const std::wstring& path) {
    if (!IsPreviewExtension(ui::ExtractFileExt(path)) || !ui::FileExists(path)) return;
    if (!PreviewImage) PreviewImage = ui::LoadImageFile(path);
    if (!PreviewImage) return;  // not a picture after all: no preview line
    const SIZE size = PreviewSize(static_cast<int>(PreviewImage->GetWidth()),
                                  static_cast<int>(PreviewImage->GetHeight()));
    PreviewWidth = size.cx;
    PreviewHeight = size.cy;
    PopupMenu1.Item(L"blank1").Visible = true;
}

void TForm1::PopupAtCursor() {
    POINT p{};
    GetCursorPos(&p);
    PopupMenu1.Popup(p.x, p.y);
}

void TForm1::blank1MeasureItem(MEASUREITEMSTRUCT& item) {
    if (PreviewImage) {
        item.itemWidth = static_cast<UINT>(PreviewWidth);
        item.itemHeight = static_cast<UINT>(PreviewHeight);
    } else {
        item.itemHeight = 16;
    }
}

void TForm1::blank1DrawItem(const DRAWITEMSTRUCT& item) {
    if (!PreviewImage) return;
    Gdiplus::Graphics graphics(item.hDC);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighSpeed);
    graphics.SetInterpolationMode(PreviewWidth < static_cast<int>(PreviewImage->GetWidth())
                                      ? Gdiplus::InterpolationModeBicubic
                                      : Gdiplus::InterpolationModeNearestNeighbor);
    const float x = static_cast<float>(item.rcItem.left) + static_cast<float>(item.rcItem.right - PreviewWidth) / 2.0f;
    graphics.DrawImage(PreviewImage.get(), Gdiplus::RectF(x, static_cast<float>(item.rcItem.top),
                                                          static_cast<float>(PreviewWidth),
                                                          static_cast<float>(PreviewHeight)));
}

void TForm1::ApplyHandCursor() { ui::SetHandPointCursor(Settings.UseHandCursor != 0 ? IDC_HAND : IDC_ARROW); }

}  // namespace core
