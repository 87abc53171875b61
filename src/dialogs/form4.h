// TForm4, the item properties dialog.
#pragma once

#include "ui/form.h"

namespace dialogs {

class TForm4 : public ui::Form {
protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
};

}  // namespace dialogs
