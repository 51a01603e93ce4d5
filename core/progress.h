#pragma once

#include <string>

// The steady clock, in seconds.
double steadySeconds();

// The seconds a generation of `total` phrases still takes, from the time per phrase of the
// `done` ones made since `started`; -1 before the first is made.
double estimatedSecondsLeft(double started, double now, int done, int total);

// "About 2 min 10 s left", "About 40 s left", "A few seconds left"; before the first phrase is
// made (`done` 0), "Working out the time left...".
std::string timeLeftText(int done, int secondsLeft);
