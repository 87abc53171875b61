// Pixel comparisons for rendering tests: colour-matrix and scaling results may
// differ by one from exact arithmetic.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace testing_support {

// Every channel of the two 32-bit pixels (ARGB, or BGRA of a DIB: the same layout)
// within `tolerance`.
inline ::testing::AssertionResult PixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 1) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof text, "0x%08X, expected 0x%08X", static_cast<unsigned>(actual),
                          static_cast<unsigned>(expected));
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
