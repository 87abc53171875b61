// Counts of what a test can leak without noticing: GDI objects of the process and
// windows of the calling thread, compared before and after a piece of work.
#pragma once

#include <windows.h>

#include <ostream>

namespace testing_support {

// The process's GDI objects in use. GetGuiResources where it answers; Wine 8 does
// not implement it (0 with ERROR_CALL_NOT_IMPLEMENTED), and there the used entries
// of the process's GDI handle table are counted instead.
int GdiObjectCount();

// The windows of the calling thread, top-level and owned alike (EnumThreadWindows),
// but for the system's IME windows.
int ThreadWindowCount();

// Call once before the first count: the first screen DC leaves DCs cached for good.
void WarmUpResourceCounts();

// Both counts at one moment, for a before/after comparison.
struct ResourceCounts {
    int gdiObjects = 0;
    int threadWindows = 0;
    bool operator==(const ResourceCounts&) const = default;
};
ResourceCounts CurrentResourceCounts();
// How GoogleTest shows them in a failure.
inline void PrintTo(const ResourceCounts& counts, std::ostream* os) {
    *os << counts.gdiObjects << " GDI objects, " << counts.threadWindows << " windows";
}

}  // namespace testing_support
