// The window base class every Zarvo window derives from: binds the C++ object to its
// HWND, dispatches messages to named handlers, runs timers and keeps exceptions
// from crossing the window procedure.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace ui {

enum class MouseButton { Left, Right, Middle };

// The shift state of a mouse event: the MK_* flags of the message, plus these two.
constexpr UINT kMkAlt = 0x1000;
constexpr UINT kMkDouble = 0x2000;  // the press of a double click
// The MK_* flags of a mouse message's wParam with the Alt key added.
UINT MouseShiftState(WPARAM wp);

// The window's own cursor where no screen cursor is set (see cursor.h).
enum class FormCursor { Default, HandPoint };

struct CreateParams {
    std::wstring className;
    std::wstring caption;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 100;
    int height = 100;
    HWND parent = nullptr;  // owner of a pop-up window
};

// The frame of our dialogs: caption, close box, modal border, topmost, a control
// parent for the dialog keys; the window sized to hold the client area.
void SetDialogFrame(CreateParams& params, int clientWidth, int clientHeight);

class Form {
public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // Makes the window from CreateParams, then runs the creation hook FormCreate.
    void Create();
    // Runs FormDestroy, then destroys the window. Safe to call twice.
    void Destroy();

    HWND Handle() const noexcept { return hwnd_; }
    int Tag = 0;
    FormCursor Cursor = FormCursor::Default;

    bool Visible() const;
    void Show();           // shows without activating: menu windows never take focus
    void Hide();
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);
    // The primary screen's middle, as the dialogs are placed before each showing.
    void CenterOnScreen();
    // The client area's background colour (black shows glass where it is extended).
    void SetColor(COLORREF color);
    // Posts WM_CLOSE; FormCloseQuery decides.
    void Close();

    // The Form of one of our own windows; null for any other window.
    static Form* FromHandle(HWND hwnd);

    void StartTimer(UINT_PTR id, UINT intervalMs);
    void StopTimer(UINT_PTR id);
    bool TimerRunning(UINT_PTR id) const { return timers_.count(id) != 0; }
    // The interval the timer runs at; 0 when it is stopped.
    UINT TimerInterval(UINT_PTR id) const;

protected:
    virtual void CreateParams(ui::CreateParams& params) = 0;
    virtual void FormCreate() {}
    virtual void FormDestroy() {}
    // Return false to keep the window.
    virtual bool FormCloseQuery() { return true; }
    // Called after a close was allowed; the main window ends the program here.
    virtual void FormClose() { Hide(); }
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // The pointer came over this window or left it, by position: capture does not
    // change them (see mouse_hover.h).
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // Client coordinates, negative or beyond the client area under capture. A left
    // press captures the pointer until its release; Click fires on a left release
    // inside the client area, before MouseUp, and not for the release that ends a
    // double click; a double click gives DblClick, then MouseDown with kMkDouble.
    virtual void MouseDown(MouseButton /*button*/, UINT /*shift*/, int /*x*/, int /*y*/) {}
    virtual void MouseMove(UINT /*shift*/, int /*x*/, int /*y*/) {}
    virtual void MouseUp(MouseButton /*button*/, UINT /*shift*/, int /*x*/, int /*y*/) {}
    virtual void Click() {}
    virtual void DblClick() {}
    // WM_MOUSEWHEEL: the delta in multiples of WHEEL_DELTA (positive away from the
    // user) and the pointer in screen coordinates, as the message gives it.
    virtual void MouseWheel(UINT /*shift*/, int /*delta*/, int /*x*/, int /*y*/) {}
    // The capture went to another window or to none while this window held it. The
    // release of a left press ends the capture too, and is no loss.
    virtual void CaptureLost() {}
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp);
    // Ends a left press here without its release, for a handler that hands the
    // pointer to someone else (OLE's drag loop): the capture goes back, which is no
    // loss (no CaptureLost), and the pending click is forgotten, so a release that
    // still reaches this window gives no Click. MouseUp does not run.
    void EndPressWithoutRelease();

private:
    friend void TrackMouseHover();
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static void RegisterClassOnce(const std::wstring& className);
    void ButtonDown(MouseButton button, WPARAM wp, LPARAM lp, bool doubleClick);
    void ButtonUp(MouseButton button, WPARAM wp, LPARAM lp);
    bool SetCursorForClient();

    HWND hwnd_ = nullptr;
    bool destroyed_ = false;
    HBRUSH background_ = nullptr;  // owned
    std::map<UINT_PTR, UINT> timers_;  // running timers and their intervals
    bool clicked_ = false;  // a left press here whose release may still be a click
    bool releasing_ = false;  // the left release is giving the capture back
};

// A timer of a form as a component: the owner's OnTimer gets its id.
class FormTimer {
public:
    FormTimer(Form& owner, UINT_PTR id, UINT intervalMs) noexcept
        : owner_(owner), id_(id), interval_(intervalMs) {}
    FormTimer(const FormTimer&) = delete;
    FormTimer& operator=(const FormTimer&) = delete;

    // Starting a running timer restarts its interval.
    void Start() { owner_.StartTimer(id_, interval_); }
    void Stop() { owner_.StopTimer(id_); }
    bool Enabled() const { return owner_.TimerRunning(id_); }
    UINT_PTR Id() const noexcept { return id_; }

private:
    Form& owner_;
    UINT_PTR id_;
    UINT interval_;
};

}  // namespace ui
