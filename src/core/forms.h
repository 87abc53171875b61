// The eight windows, created once at start-up in a fixed order and reached through
// these instances by every other window.
#pragma once

namespace core {
class TForm1;
}
namespace popups {
class TForm2;
class TForm3;
class TZVHint;
}
namespace dialogs {
class TForm4;
class TForm5;
class TAbout;
class TEditBox;
}

namespace core {

extern TForm1* Form1;
extern popups::TForm2* Form2;
extern popups::TForm3* Form3;
extern dialogs::TForm4* Form4;
extern dialogs::TForm5* Form5;
extern popups::TZVHint* ZVHint;
extern dialogs::TAbout* About;
extern dialogs::TEditBox* EditBox;

// Creates the windows in the order TForm1, TForm2, TForm3, TForm4, TForm5, TZVHint,
// TAbout, TEditBox; an error in one goes to the application's handler. Once the
// application has terminated, the rest are not created.
void CreateForms();
// Destroys them in the reverse order, each running its destroy handler first.
void DestroyForms();

}  // namespace core
