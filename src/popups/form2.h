// The two sub-menu windows: TForm2 shows the first nested level, TForm3 the second.
#pragma once

#include "ui/form.h"

namespace popups {

class TForm2 : public ui::Form {
public:
    TForm2() {
        Tag = 2;
        Cursor = ui::FormCursor::HandPoint;
    }
    // Makes a sub-menu window layered, lets it take dropped files and advances the
    // start-up splash by one step.
    static void InitDropTarget(ui::Form& form);

protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
};

class TForm3 : public TForm2 {
public:
    TForm3() { Tag = 3; }

protected:
    void CreateParams(ui::CreateParams& params) override;
};

}  // namespace popups
