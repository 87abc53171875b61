// The box's window: its two controls, their window procedures, layout at each
// showing, the close zone and the hand-over of the worker's posts.
#include "dialogs/edit_box.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/glass.h"
#include "core/search_index.h"
#include "core/startup.h"
#include "ui/controls.h"
#include "ui/cursor.h"
#include "ui/images.h"
#include "ui/strings.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace dialogs {
namespace {

constexpr int kEdit1Id = 1;
constexpr int kRunLBId = 2;
constexpr UINT_PTR kSubclassId = 1;
// Skin metrics come from a file: they are held to this before they place a control.
constexpr int kMetricLimit = 10000;
// The end of the program waits this long for a worker that still reads the index.
constexpr DWORD kExitWaitMs = 2000;

int Bounded(int value) { return std::clamp(value, -kMetricLimit, kMetricLimit); }
int BoundedSize(int value) { return std::clamp(value, 0, kMetricLimit); }

RECT WindowRectIn(HWND control) { return ui::ChildRect(control); }

void Place(HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, x, y, std::max(0, width), std::max(0, height), SWP_NOZORDER | SWP_NOACTIVATE);
}

ui::MouseButton ButtonOf(UINT msg) {
    switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return ui::MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return ui::MouseButton::Middle;
    default: return ui::MouseButton::Left;
    }
}

}  // namespace

TEditBox::~TEditBox() {
    if (editBrush_) DeleteObject(editBrush_);
}

void TEditBox::CreateParams(ui::CreateParams& params) {
    params.className = L"TEditBox";
    params.style = WS_POPUP | WS_CLIPCHILDREN;
    params.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
    params.width = kDesignWidth;
    params.height = kDesignHeight;
}

void TEditBox::FormCreate() {
    // Fuchsia is both the background and the key, so only the two controls show.
    SetColor(kTransparentColor);
    SetLayeredWindowAttributes(Handle(), kTransparentColor, 255, LWA_COLORKEY | LWA_ALPHA);
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    Edit1 = ui::CreateControl(Handle(), {WC_EDITW, L"", ES_AUTOHSCROLL | ES_LEFT, 0, 0, 264, 265, 25, kEdit1Id});
    RunLB = ui::CreateControl(Handle(), {WC_LISTVIEWW, L"",
                                         LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                             LVS_OWNERDATA | LVS_SHAREIMAGELISTS,
                                         0, 8, 0, 249, 257, kRunLBId});
    ListView_SetExtendedListViewStyle(RunLB, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 249;
    ListView_InsertColumn(RunLB, 0, &column);
    // The system's small image list, shared: a row's icon is its index there.
    SHFILEINFOW info{};
    const auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L"C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    if (images) ListView_SetImageList(RunLB, images, LVSIL_SMALL);
    SetWindowSubclass(Edit1, &TEditBox::Edit1Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(RunLB, &TEditBox::ListWindowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (core::Form1) {
        core::Form1->Compositor.FitRunBoxEdit = [this](int width, Gdiplus::Bitmap* background) {
            FitEdit(width, background);
        };
        // Created last of the eight windows, so the splash ends here.
        core::Form1->SplashTimerTimer();
        core::Form1->CloseSplash();
    }
}

void TEditBox::FormDestroy() {
    worker_.reset();
    WaitForSearchWorkers(kExitWaitMs);
    if (core::Form1) core::Form1->Compositor.FitRunBoxEdit = nullptr;
    if (Edit1) RemoveWindowSubclass(Edit1, &TEditBox::Edit1Proc, kSubclassId);
    if (RunLB) RemoveWindowSubclass(RunLB, &TEditBox::ListWindowProc, kSubclassId);
}

LRESULT TEditBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SHOWWINDOW:
        if (lp == 0) wp ? FormShow() : FormHide();
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) break;
        FormActivate();
        return 0;
    case WM_PAINT: FormPaint(); return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lp) == Edit1 && HIWORD(wp) == EN_CHANGE) Edit1Change();
        return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lp) != Edit1) break;
        return WMCtlColorEdit(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_SETCURSOR:
        // The hand belongs to the form itself; the controls keep their own cursors.
        if (reinterpret_cast<HWND>(wp) != Handle()) return FALSE;
        break;
    case WM_SEARCH_ROWS: ApplyRows(std::unique_ptr<SearchRows>(reinterpret_cast<SearchRows*>(lp))); return 0;
    case WM_SEARCH_ICON: ApplyIcon(std::unique_ptr<SearchIcon>(reinterpret_cast<SearchIcon*>(lp))); return 0;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TEditBox::PlaceResultList(int height, bool visible) {
    const RECT r = WindowRectIn(RunLB);
    Place(RunLB, r.left, 0, r.right - r.left, BoundedSize(height));
    ShowWindow(RunLB, visible ? SW_SHOWNA : SW_HIDE);
}

void TEditBox::FitEdit(int width, Gdiplus::Bitmap* background) {
    const RECT r = WindowRectIn(Edit1);
    Place(Edit1, r.left, r.top, BoundedSize(width), r.bottom - r.top);
    HBRUSH brush = nullptr;
    HBITMAP bitmap = nullptr;
    if (background && background->GetHBITMAP(Gdiplus::Color(255, 255, 255, 255), &bitmap) == Gdiplus::Ok && bitmap) {
        brush = CreatePatternBrush(bitmap);
        DeleteObject(bitmap);  // the brush keeps its own copy
    }
    if (editBrush_) DeleteObject(editBrush_);
    editBrush_ = brush;
    InvalidateRect(Edit1, nullptr, TRUE);
}

void TEditBox::FormShow() {
    core::TForm1* main = core::Form1;
    if (!main) return;
    main->EndDrag();
    const core::SkinMetrics& skin = main->Skin;
    // The typed text stays out of the close zone.
    SendMessageW(Edit1, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, BoundedSize(skin.EditBoxButtonSize)));
    const int percent = std::min<int>(main->Settings.BackgroundTransparent, 100);
    const auto alpha = static_cast<BYTE>(ui::RoundEven(percent * 255 / 100.0));
    SetLayeredWindowAttributes(Handle(), kTransparentColor, alpha, LWA_COLORKEY | LWA_ALPHA);

    const int level = std::clamp(Tag, 1, 3);
    const bool captions = skin.ShowCaption;
    const int boxWidth = BoundedSize(captions ? main->LevelWidths[level] : skin.EditBoxWidth);
    const int listWidth = captions ? boxWidth - Bounded(skin.VistaMenuLeftMargin) - Bounded(skin.VistaMenuRightMargin)
                                   : boxWidth;
    SetWidth(boxWidth);
    const RECT edit = WindowRectIn(Edit1);
    Place(Edit1, Bounded(skin.EditBoxX), Height() - Bounded(skin.ItemSize) + Bounded(skin.EditBoxY),
          edit.right - edit.left, BoundedSize(skin.EditBoxHeight));
    const RECT list = WindowRectIn(RunLB);
    Place(RunLB, Bounded(skin.VistaMenuLeftMargin), list.top, listWidth, list.bottom - list.top);
    SizeColumn();

    if (ui::ControlVisible(RunLB)) {
        worker_ = std::make_unique<SearchWorker>(Handle(), core::AppDir + core::kIndexDataFile);
        if (keepText_) {
            FindInIndex(ui::ControlText(Edit1));
        } else {
            FindInIndex(L"*");
            ui::SetControlText(Edit1, L"");
        }
    }
    SendMessageW(Edit1, EM_SETSEL, 0, -1);
    if (main->Parts.BlurEnabled) core::ExtendGlass(*main, core::Margins{core::GlassWholeWindow, 0, 0, 0}, true);
}

void TEditBox::FormHide() {
    StopSearch();
    // The thread drops its share of the index on its own: a share on a dead network
    // drive can hold one call for seconds.
    worker_.reset();
    handCursor_ = false;
    if (core::Form1 && core::Form1->Parts.BlurEnabled) core::Form1->ApplyBlurBehind(*core::Form1);
    if (ui::ControlVisible(RunLB)) ClearRows();
}

void TEditBox::FormActivate() { SetFocus(Edit1); }

void TEditBox::FormPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Handle(), &paint);
    if (!dc) return;
    const core::TForm1* main = core::Form1;
    if (main && static_cast<long long>(main->Skin.EditBoxX) + main->Skin.EditBoxWidth > main->Skin.SkinWidth) {
        RECT client{};
        GetClientRect(Edit1, &client);
        const HGDIOBJ font = SelectObject(dc, ui::DialogFont());
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, client.right, 0, L"X", 1);
        SelectObject(dc, font);
    }
    EndPaint(Handle(), &paint);
}

void TEditBox::FormClick() { CloseBox(); }

void TEditBox::CloseBox() { Hide(); }

void TEditBox::Edit1MouseMove(int x, int /*y*/) {
    if (!core::Form1) return;
    RECT client{};
    GetClientRect(Edit1, &client);
    const bool hand = x >= client.right - core::Form1->Skin.EditBoxButtonSize;
    if (hand == handCursor_) return;
    handCursor_ = hand;
    SetCursor(hand ? ui::HandPointCursor() : LoadCursorW(nullptr, IDC_IBEAM));
}

void TEditBox::Edit1MouseUp(ui::MouseButton /*button*/, int x, int /*y*/) {
    if (!core::Form1) return;
    RECT client{};
    GetClientRect(Edit1, &client);
    if (x > client.right - core::Form1->Skin.EditBoxButtonSize) CloseBox();
}

LRESULT TEditBox::WMCtlColorEdit(HDC dc, HWND /*control*/) {
    SetBkMode(dc, TRANSPARENT);
    // The picture starts at the edit's own corner.
    SetBrushOrgEx(dc, 0, 0, nullptr);
    return reinterpret_cast<LRESULT>(editBrush_ ? editBrush_ : GetStockObject(WHITE_BRUSH));
}

LRESULT CALLBACK TEditBox::Edit1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR /*id*/,
                                     DWORD_PTR data) {
    auto& self = *reinterpret_cast<TEditBox*>(data);
    try {
        switch (msg) {
        case WM_CHAR:
            if (wp != VK_RETURN && wp != VK_ESCAPE) break;
            self.Edit1KeyPress(static_cast<wchar_t>(wp));
            return 0;
        case WM_MOUSEMOVE: self.Edit1MouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); break;
        case WM_SETCURSOR:
            if (LOWORD(lp) != HTCLIENT || !self.handCursor_) break;
            SetCursor(ui::HandPointCursor());
            return TRUE;
        case WM_RBUTTONUP:
            // A right release in the close zone closes the box without the edit's
            // own context menu, which would open over a box that is gone.
            self.Edit1MouseUp(ButtonOf(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            if (!self.Visible()) return 0;
            break;
        case WM_LBUTTONUP:
        case WM_MBUTTONUP: {
            const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
            self.Edit1MouseUp(ButtonOf(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return result;
        }
        }
    } catch (...) {
        // Errors of the keys and the close zone are not reported.
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK TEditBox::ListWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR /*id*/,
                                          DWORD_PTR data) {
    auto& self = *reinterpret_cast<TEditBox*>(data);
    // The list never shows a horizontal bar. ShowScrollBar sends messages back here,
    // which must not hide it again from inside.
    if (!self.inListProc_ && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_HSCROLL)) {
        self.inListProc_ = true;
        ShowScrollBar(hwnd, SB_HORZ, FALSE);
        self.inListProc_ = false;
    }
    try {
        switch (msg) {
        case WM_CHAR:
            if (wp != VK_RETURN && wp != VK_ESCAPE) break;
            self.RunLBKeyPress(static_cast<wchar_t>(wp));
            return 0;
        }
    } catch (...) {
    }
    if (msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN) return DefSubclassProc(hwnd, msg, wp, lp);
    // The list's own handling first: it selects the row under the pointer (and, for
    // the right button, waits for the release), so the menu is the clicked row's
    // rather than the one selected before.
    const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
    try {
        self.RunLBMouseDown(ButtonOf(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    } catch (...) {
    }
    return result;
}

}  // namespace dialogs
