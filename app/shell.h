#pragma once

#include <string>

// The target as the opener gets it: a path or address enclosed in double quotes (so that it
// stays whole on a command line) loses them; anything else is passed as it is.
std::string shellTarget(const std::string& target);

// A path enclosed in double quotes, as the shell open request takes it.
std::string quotedTarget(const std::string& path);

// Hands `target` to the desktop's opener (xdg-open) as one argument, detached: returns at once,
// and what becomes of it is not reported.
void shellOpen(const std::string& target);

// Makes shellOpen start `program` instead of xdg-open (empty: xdg-open again). Only the tests
// use this.
void setShellOpenerForTests(const std::string& program);
