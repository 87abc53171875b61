// TEditBox, the quick-run and search box shown over a quick-run row.
#pragma once

#include "ui/form.h"

namespace dialogs {

class TEditBox : public ui::Form {
protected:
    void CreateParams(ui::CreateParams& params) override;
    void FormCreate() override;
};

}  // namespace dialogs
