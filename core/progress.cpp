#include "core/progress.h"

#include <chrono>

#include "core/errors.h"

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double estimatedSecondsLeft(double started, double now, int done, int total) {
    if (done <= 0) return -1;
    return (now - started) / done * (total - done);
}

std::string timeLeftText(int done, int secondsLeft) {
    if (done <= 0 || secondsLeft < 0) return "Working out the time left...";
    if (secondsLeft < 5) return "A few seconds left";
    if (secondsLeft < 60) return format("About %d s left", (secondsLeft + 4) / 5 * 5);
    const int minutes = secondsLeft / 60, seconds = secondsLeft % 60 / 10 * 10;
    return seconds ? format("About %d min %d s left", minutes, seconds)
                   : format("About %d min left", minutes);
}
