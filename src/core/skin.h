// Skin files and metrics: skin.ini and the PNG parts every menu window draws from.
#pragma once

#include <string>

namespace ui {
class Form;
}

namespace core {

// The skin's metrics, named by their skin.ini keys; the initial values are the
// defaults a skin without skin.ini gets.
struct SkinMetrics {
    int IconSize = 32;
    int HeaderSize = 16;
    int ItemSize = 36;
    int Separatorsize = 8;
    int LeftEdgeSize = 10;
    int RightEdgeSize = 10;
    int TopEdgeSize = 10;
    int BottomEdgeSize = 10;
    int MainLeftSpace = 0;
    int MainTopSpace = 0;
    int MainRightSpace = 0;
    int MainBottomSpace = 0;
    bool ShowCaption = false;
    // Derived from back.png (the fallback part is 36 x 180).
    int SkinWidth = 36;
    int BottomMargin = 180 - 4 * 36 - 16 - 8;
};

// Adds the tool-window and layered extended styles and drops any border.
void MakeLayeredToolWindow(ui::Form& form);

}  // namespace core
