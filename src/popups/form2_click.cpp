// Clicks and double clicks on the rows of the sub-menu windows.
#include "popups/form2.h"

namespace popups {

void TForm2::Click() { FormClick(); }
void TForm2::DblClick() { FormDblClick(); }

// TODO(sub-menu click): the dispatch of a click and a double click by the row's Type.
void TForm2::FormClick() {}
void TForm2::FormDblClick() {}

}  // namespace popups
