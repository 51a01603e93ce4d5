// The peer of startup_bench: an empty Qt 6 Widgets window, shown, and the moment it is exposed
// printed as startup_bench's child prints it.
#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(697, 527);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    const double ms = std::chrono::duration<double, std::milli>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
    std::printf("%.3f 0\n", ms);
    return 0;
}
