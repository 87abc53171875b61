// Finding a control of a window, at any depth (pages and panels included), also in
// another process.
#pragma once

#include <windows.h>

namespace testing_support {

inline HWND DescendantWithId(HWND parent, int id) {
    struct Find {
        int id;
        HWND found;
    } find{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            if (GetDlgCtrlID(hwnd) != f->id) return TRUE;
            f->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

}  // namespace testing_support
