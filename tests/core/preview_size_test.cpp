#include "core/mouse_input.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewSize, TheLongerSideBecomes250WideOr300HighRoundingHalvesToEven) {
    struct Case {
        int width, height;
        LONG previewWidth, previewHeight;
    };
    for (const Case c : {Case{500, 250, 250, 125}, Case{300, 600, 150, 300}, Case{64, 64, 250, 250},
                         Case{1000, 10, 250, 2}, Case{10, 1000, 3, 300}, Case{0, 10, 0, 0}}) {
        const SIZE size = core::PreviewSize(c.width, c.height);
        EXPECT_EQ(size.cx, c.previewWidth) << c.width << " x " << c.height;
        EXPECT_EQ(size.cy, c.previewHeight) << c.width << " x " << c.height;
    }
}

}  // namespace
