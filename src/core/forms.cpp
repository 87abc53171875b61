#include "core/forms.h"

#include "core/form1.h"
#include "dialogs/about.h"
#include "dialogs/edit_box.h"
#include "dialogs/form4.h"
#include "dialogs/form5.h"
#include "popups/form2.h"
#include "popups/zv_hint.h"
#include "ui/application.h"

#include <memory>

namespace core {

TForm1* Form1 = nullptr;
popups::TForm2* Form2 = nullptr;
popups::TForm3* Form3 = nullptr;
dialogs::TForm4* Form4 = nullptr;
dialogs::TForm5* Form5 = nullptr;
popups::TZVHint* ZVHint = nullptr;
dialogs::TAbout* About = nullptr;
dialogs::TEditBox* EditBox = nullptr;

namespace {

// Owns the eight windows in creation order.
std::vector<std::unique_ptr<ui::Form>>& Owned() {
    static std::vector<std::unique_ptr<ui::Form>> forms;
    return forms;
}

template <class T> void Make(T*& global) {
    // Start-up that ended (a restored backup, an error) creates nothing more: the
    // later windows would advance the splash and set up what nobody will use.
    if (ui::Application::Instance().Terminated()) return;
    try {
        auto form = std::make_unique<T>();
        global = form.get();
        Owned().push_back(std::move(form));
        global->Create();
    } catch (...) {
        ui::Application::Instance().HandleException();
    }
}

}  // namespace

void CreateForms() {
    Make(Form1);
    Make(Form2);
    Make(Form3);
    Make(Form4);
    Make(Form5);
    Make(ZVHint);
    Make(About);
    Make(EditBox);
}

void DestroyForms() {
    auto& forms = Owned();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        try {
            (*it)->Destroy();
        } catch (...) {
        }
    }
    forms.clear();
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    ZVHint = nullptr;
    About = nullptr;
    EditBox = nullptr;
}

}  // namespace core
