// Runs the window tests on Qt's offscreen platform, with SDL's dummy audio driver, and with the
// in-process doubles of every platform part installed.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "gui/layout.h"
#include "tests/support/test_platform.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    ::testing::InitGoogleTest(&argc, argv);
    installTestPlatform();
    return RUN_ALL_TESTS();
}
