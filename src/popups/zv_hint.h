// TZVHint, the hint window that shows an item's caption beside the menu windows.
#pragma once

#include "ui/form.h"

namespace popups {

class TZVHint : public ui::Form {
protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
};

}  // namespace popups
