// The real folder enumeration slowed down, counting the entries it hands out, so that an
// index build is still running while a test looks at it.
#pragma once

#include "core/index_walk.h"

#include <windows.h>

#include <atomic>
#include <memory>

// The counter is shared: a build the test stopped waiting for may still count.
inline core::FolderEnumeration SlowedWalk(std::shared_ptr<std::atomic<int>> entries, DWORD msPerEntry) {
    core::FolderEnumeration slowed = core::RealFolderEnumeration();
    slowed.FindNext = [entries, msPerEntry, next = slowed.FindNext](HANDLE find, WIN32_FIND_DATAW& data) {
        ++*entries;
        Sleep(msPerEntry);
        return next(find, data);
    };
    return slowed;
}
