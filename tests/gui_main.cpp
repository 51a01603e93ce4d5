// Runs the window tests on Qt's offscreen platform, with SDL's dummy audio driver.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "layout.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication application(argc, argv);
    QApplication::setFont(layout::windowFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
