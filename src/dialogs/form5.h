// TForm5, the settings dialog.
#pragma once

#include "ui/form.h"

namespace dialogs {

class TForm5 : public ui::Form {
protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
};

}  // namespace dialogs
