// The removal of a sub-menu row, with its question.
#include "popups/form2.h"

namespace popups {

// TODO(sub-menu delete): the question, the removal and the rebuilds.
bool TForm2::DeleteSubItem(int /*Row*/, bool /*NoAsk*/) { return false; }

}  // namespace popups
