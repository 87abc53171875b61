// Hot-zone panels: hidden child windows over the rows that open a sub-menu. Shown
// after the menu was opened by a click on its tab, they open a row's sub-menu as
// soon as the pointer enters them.
#pragma once

#include "ui/form.h"

#include <functional>
#include <memory>
#include <vector>

namespace core {

class TMouseControl : public ui::Form {
public:
    using Notify = std::function<void(TMouseControl& sender)>;

    // A hidden child of `parent` covering row `tag`.
    TMouseControl(ui::Form& parent, int tag, int left, int top, int width, int height);
    ~TMouseControl() override;

    Notify OnMouseLeave;
    Notify OnMouseEnter;

protected:
    void CreateParams(ui::CreateParams& params) override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void MouseEnter() override;  // CMMouseEnter
    void MouseLeave() override;  // CMMouseLeave

private:
    ui::Form& parent_;
    int left_, top_, width_, height_;
};

using PanelsArray = std::vector<std::unique_ptr<TMouseControl>>;

extern PanelsArray MainPanels;
extern PanelsArray SubPanels;
extern bool MainPanelsShown;
extern bool SubPanelsShown;
extern int LastMainPanel;
extern int LastSubPanel;

}  // namespace core
