// The main of every test program: GoogleTest with the watch over the shared desktop.
// Compiled into each suite, since it needs to know whether the suite holds the lock.
#include "support/desktop_watch.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    testing_support::InstallDesktopWatch(ZARVO_DESKTOP_LOCK != 0);
    return RUN_ALL_TESTS();
}
