#include "core/hot_zones.h"

#include "core/form1.h"

namespace core {

PanelsArray MainPanels;
PanelsArray SubPanels;
bool MainPanelsShown = false;
bool SubPanelsShown = false;
int LastMainPanel = -1;
int LastSubPanel = -1;

TMouseControl::TMouseControl(ui::Form& parent, int tag, int left, int top, int width, int height)
    : parent_(parent), left_(left), top_(top), width_(width), height_(height) {
    Tag = tag;
    Create();
}

TMouseControl::~TMouseControl() { Destroy(); }

void TMouseControl::CreateParams(ui::CreateParams& params) {
    params.className = L"TMouseControl";
    params.style = WS_CHILD;  // created hidden
    params.parent = parent_.Handle();
    params.x = left_;
    params.y = top_;
    params.width = width_;
    params.height = height_;
}

LRESULT TMouseControl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The pointer must find the panel even where the window below is transparent.
    if (msg == WM_NCHITTEST) return HTCLIENT;
    // Clicks belong to the menu window under the panel; the panel only notices entry.
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return Form::OnMessage(msg, wp, lp);
}

void TMouseControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(*this);
}

void TMouseControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(*this);
}

void TForm1::ShowHotZones(bool visible) {
    for (auto& panel : MainPanels) {
        if (visible) panel->Show();
        else panel->Hide();
    }
    LastMainPanel = -1;
    MainPanelsShown = visible;
}

}  // namespace core
