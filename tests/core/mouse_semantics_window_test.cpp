// The mouse semantics every own window gets from the base form: click before
// mouse-up, no click for a double click's release, capture from press to release,
// the screen cursor under capture.
#include "ui/cursor.h"
#include "ui/form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Probe : public ui::Form {
public:
    Probe() { Create(); }
    ~Probe() override { Destroy(); }

    std::vector<std::string> events;

    LRESULT Send(UINT msg, int x, int y, WPARAM keys = 0) {
        return SendMessageW(Handle(), msg, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }

protected:
    void CreateParams(ui::CreateParams& params) override {
        params.className = L"ZarvoMouseProbe";
        params.style = WS_POPUP | WS_VISIBLE;
        params.exStyle = WS_EX_NOACTIVATE | WS_EX_TOPMOST;
        params.x = 100;
        params.y = 100;
        params.width = 200;
        params.height = 100;
        params.parent = nullptr;
    }
    void MouseDown(ui::MouseButton button, UINT shift, int x, int y) override { Record("down", button, shift, x, y); }
    void MouseUp(ui::MouseButton button, UINT shift, int x, int y) override { Record("up", button, shift, x, y); }
    void MouseMove(UINT shift, int x, int y) override { Record("move", ui::MouseButton::Left, shift, x, y); }
    void Click() override { events.push_back(GetCapture() == Handle() ? "click (captured)" : "click"); }
    void DblClick() override { events.push_back("dblclick"); }

private:
    void Record(const char* what, ui::MouseButton button, UINT shift, int x, int y) {
        std::string text = what;
        if (text != "move") {
            text += ' ';
            text += button == ui::MouseButton::Left ? 'L' : button == ui::MouseButton::Right ? 'R' : 'M';
        }
        if (shift & MK_SHIFT) text += " shift";
        if (shift & ui::kMkDouble) text += " double";
        text.append(1, ' ').append(std::to_string(x)).append(1, ',').append(std::to_string(y));
        events.push_back(text);
    }
};

using Events = std::vector<std::string>;

TEST(MouseSemantics, LeftReleaseInsideClicksBeforeMouseUpAndEndsTheCapture) {
    Probe probe;
    probe.Send(WM_LBUTTONDOWN, 10, 20, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(GetCapture(), probe.Handle()) << "a left press captures the pointer";
    probe.Send(WM_LBUTTONUP, 12, 22);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(probe.events, (Events{"down L shift 10,20", "click", "up L 12,22"}));
}

TEST(MouseSemantics, DoubleClickGivesOneClickAndNoneForItsSecondRelease) {
    Probe probe;
    probe.Send(WM_LBUTTONDOWN, 5, 5);
    probe.Send(WM_LBUTTONUP, 5, 5);
    probe.Send(WM_LBUTTONDBLCLK, 5, 5);
    EXPECT_EQ(GetCapture(), probe.Handle());
    probe.Send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(probe.events,
              (Events{"down L 5,5", "click", "up L 5,5", "dblclick", "down L double 5,5", "up L 5,5"}));
}

TEST(MouseSemantics, ReleaseOutsideUnderCaptureIsNoClickAndKeepsNegativeCoordinates) {
    Probe probe;
    probe.Send(WM_LBUTTONDOWN, 5, 5);
    probe.Send(WM_MOUSEMOVE, -30, 150, MK_LBUTTON);
    probe.Send(WM_LBUTTONUP, -30, -2);
    EXPECT_EQ(probe.events, (Events{"down L 5,5", "move -30,150", "up L -30,-2"}));
}

TEST(MouseSemantics, CaptureTakenByAnotherWindowCancelsTheClick) {
    Probe probe;
    Probe other;
    probe.Send(WM_LBUTTONDOWN, 5, 5);
    SetCapture(other.Handle());  // as a menu or a dialog opened by the press would
    ReleaseCapture();
    probe.Send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(probe.events, (Events{"down L 5,5", "up L 5,5"}));
}

TEST(MouseSemantics, RightAndMiddleButtonsNeitherCaptureNorClick) {
    Probe probe;
    probe.Send(WM_RBUTTONDOWN, 1, 2);
    EXPECT_EQ(GetCapture(), nullptr);
    probe.Send(WM_RBUTTONUP, 1, 2);
    probe.Send(WM_MBUTTONDOWN, 3, 4);
    probe.Send(WM_MBUTTONUP, 3, 4);
    EXPECT_EQ(probe.events, (Events{"down R 1,2", "up R 1,2", "down M 3,4", "up M 3,4"}));
}

TEST(MouseSemantics, ScreenCursorIsSetOnCapturedMovesAndWinsOverTheHandPoint) {
    Probe probe;
    probe.Cursor = ui::FormCursor::HandPoint;
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    ui::SetHandPointCursor(IDC_HAND);
    SetCursor(arrow);
    EXPECT_TRUE(SendMessageW(probe.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(probe.Handle()), overClient));
    EXPECT_EQ(GetCursor(), hand);

    ui::SetScreenCursor(IDC_CROSS);
    EXPECT_EQ(ui::ScreenCursorName(), IDC_CROSS);
    probe.Send(WM_LBUTTONDOWN, 5, 5);
    SetCursor(arrow);
    probe.Send(WM_MOUSEMOVE, 300, 5, MK_LBUTTON);  // no WM_SETCURSOR arrives under capture
    EXPECT_EQ(GetCursor(), cross);
    probe.Send(WM_LBUTTONUP, 300, 5);
    SendMessageW(probe.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(probe.Handle()), overClient);
    EXPECT_EQ(GetCursor(), cross) << "the override wins over the window's own cursor";

    // Back to the default over the window: its own cursor at once, not an arrow first.
    SetCursorPos(150, 150);
    ui::SetScreenCursor(nullptr);
    EXPECT_EQ(GetCursor(), hand);

    ui::SetHandPointCursor(IDC_ARROW);  // UseHandCursor 0
    SendMessageW(probe.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(probe.Handle()), overClient);
    EXPECT_EQ(GetCursor(), arrow);
    ui::SetHandPointCursor(IDC_HAND);
}

}  // namespace
