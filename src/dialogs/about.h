// TAbout, the about box.
#pragma once

#include "ui/form.h"

namespace dialogs {

class TAbout : public ui::Form {
protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
};

}  // namespace dialogs
