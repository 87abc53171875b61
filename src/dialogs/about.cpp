// TAbout's window: its layout, the drawing of Panel2, the scroll timer, the links and
// every way of closing.
#include "dialogs/about.h"

#include "core/form1.h"
#include "core/forms.h"
#include "core/glass.h"
#include "core/launch.h"
#include "core/startup.h"
#include "ui/controls.h"
#include "ui/cursor.h"
#include "ui/glyph_button.h"

#include <commctrl.h>

#include <utility>

namespace dialogs {
namespace {

constexpr int kLinkLeft = 8;

struct LinkText {
    int top;
    const wchar_t* caption;
    const wchar_t* hint;
};
constexpr LinkText kLinkTexts[] = {
    {240, L"Zarvo Forum", L"https://forum.zarvo.example/"},
    {256, L"Zarvo Web - site", L"https://zarvo.example/"},
    {272, L"E-mail: hello@zarvo.example", L"mailto:hello@zarvo.example?subject=Zarvo"},
};

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

}  // namespace

void TAbout::CreateParams(ui::CreateParams& params) {
    params.className = L"TAbout";
    params.caption = L"About";
    ui::SetDialogFrame(params, kAboutClientWidth, kAboutClientHeight);
}

void TAbout::FormCreate() {
    SetColor(RGB(255, 255, 255));
    panel_.Resize(RectWidth(kAboutPanel2), RectHeight(kAboutPanel2));
    header_ = ui::LoadImageResource(L"ABOUT_HEADER");
    fade_ = ui::LoadImageResource(L"ABOUT_FADE");
    linkFont_.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                CreditsFont{}.Face.c_str()));
    CreateLinks();
    const ui::ControlLayout ok{
        .className = WC_BUTTONW, .text = L"OK", .style = WS_TABSTOP, .x = 169, .y = 296, .width = 89, .height = 29,
        .id = kAboutButton3};
    HWND button = ui::CreateGlyphButton(Handle(), ok, ui::Glyph::Ok);
    if (core::VistaOrLater) ui::SetGlyphOnly(button, true);
    core::Form1->SplashTimerTimer();
}

void TAbout::CreateLinks() {
    HDC dc = panel_.Dc();
    HGDIOBJ old = SelectObject(dc, linkFont_.Get());
    for (const LinkText& text : kLinkTexts) {
        const std::wstring caption = text.caption;
        SIZE size{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        links_.push_back({caption, text.hint, RECT{kLinkLeft, text.top, kLinkLeft + size.cx, text.top + size.cy}});
    }
    SelectObject(dc, old);
}

void TAbout::FormDestroy() {
    Timer1.Stop();
    creditsBitmap_.reset();
    header_.reset();
    fade_.reset();
    panel_.Reset();
}

LRESULT TAbout::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        // IDOK and IDCANCEL: the system menu and dialog navigation speak of them.
        if (HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == kAboutButton3 || LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL))
            Button1Click();
        return 0;
    case WM_SHOWWINDOW:
        // lParam names an owner's minimise or restore, which starts no showing.
        if (lp == 0 && wp) FormShow();
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) FormActivate();
        return 0;
    case WM_ERASEBKGND: {
        // Panel2 is copied whole from its back buffer; only the strip below is erased.
        // BeginPaint hands the same DC on to the painting, so its clip is put back.
        HDC dc = reinterpret_cast<HDC>(wp);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, kAboutPanel2.left, kAboutPanel2.top, kAboutPanel2.right, kAboutPanel2.bottom);
        const LRESULT result = Form::OnMessage(msg, wp, lp);
        RestoreDC(dc, saved);
        return result;
    }
    case WM_PAINT: Paint(); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && !ui::ScreenCursor() && SetLinkCursor()) return TRUE;
        break;
    }
    return Form::OnMessage(msg, wp, lp);
}

void TAbout::OnTimer(UINT_PTR id) {
    if (id == Timer1.Id()) Timer1Timer();
}

void TAbout::FormShow() {
    if (core::Form1) SetWindowTextW(Handle(), core::Form1->PopupMenu1.Item(L"AboutMI").Caption.c_str());
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(),
              Height());
    creditsLines_ = CreditsText(core::VersionString);
    creditsBitmap_ = RenderCredits(creditsLines_, CreditsFont{}, RectWidth(kAboutImage1));
    scroll_.AreaHeight = RectHeight(kAboutImage1);
    scroll_.Start(creditsBitmap_ ? creditsBitmap_->Height() : 0);
    pressedLink_ = -1;
    ComposePanel(scroll_.ScrollOffset);
    Timer1.Start();
}

void TAbout::FormActivate() {
    core::ExtendGlass(*this, {0, 0, 0, kAboutClientHeight - kAboutPanel2.bottom}, false);
    SetFocus(Button3());
}

void TAbout::Button1Click() {
    Timer1.Stop();
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

// Every way out (OK, Esc, the close box, Alt+F4) comes here.
void TAbout::FormClose() {
    Timer1.Stop();
    creditsBitmap_.reset();
    creditsLines_.clear();
    pressedLink_ = -1;
    if (GetCapture() == Handle()) ReleaseCapture();
    scroll_.ScrollPaused = false;
    Hide();
}

void TAbout::Timer1Timer() {
    ComposePanel(scroll_.Tick());
    InvalidateRect(Handle(), &kAboutImage1, FALSE);
}

void TAbout::Label1Click(const AboutLink& link) {
    core::ShellCall call;
    call.owner = Handle();
    call.verb = L"open";
    call.file = link.Hint;
    call.show = SW_SHOWNORMAL;
    // Whatever the shell makes of it, the box carries on.
    const core::ShellFunctions shell = core::CurrentShellFunctions();
    if (shell.execute) shell.execute(call);
}

void TAbout::Image1MouseDown() { scroll_.ScrollPaused = true; }
void TAbout::Image1MouseUp() { scroll_.ScrollPaused = false; }

int TAbout::LinkAt(int x, int y) const {
    for (size_t i = 0; i < links_.size(); ++i)
        if (Inside(links_[i].Bounds, x, y)) return static_cast<int>(i);
    return -1;
}

void TAbout::MouseDown(ui::MouseButton button, UINT, int x, int y) {
    if (button != ui::MouseButton::Left) return;
    pressedLink_ = LinkAt(x, y);
    // The header lies over the area's top: a press there is on the header.
    const RECT visibleArea{kAboutImage1.left, kAboutHeaderHeight, kAboutImage1.right, kAboutImage1.bottom};
    if (pressedLink_ < 0 && Inside(visibleArea, x, y)) Image1MouseDown();
}

// The press captured the pointer, so the release comes here wherever it happens.
void TAbout::MouseUp(ui::MouseButton button, UINT, int x, int y) {
    if (button != ui::MouseButton::Left) return;
    const int pressed = std::exchange(pressedLink_, -1);
    Image1MouseUp();
    if (pressed >= 0 && LinkAt(x, y) == pressed) Label1Click(links_[static_cast<size_t>(pressed)]);
}

void TAbout::CaptureLost() {
    pressedLink_ = -1;
    Image1MouseUp();
}

bool TAbout::SetLinkCursor() {
    POINT point{};
    if (!GetCursorPos(&point) || !ScreenToClient(Handle(), &point)) return false;
    // Set either way: the class's arrow alone would leave the hand up after a link.
    SetCursor(LinkAt(point.x, point.y) >= 0 ? ui::HandPointCursor() : LoadCursorW(nullptr, IDC_ARROW));
    return true;
}

}  // namespace dialogs
