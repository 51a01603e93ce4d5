#pragma once

#include <string>

#include "core/installed.h"

// The desktop's opener of a folder, a page or a web address, a platform part: xdg-open in the
// program, a recording double in the tests.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Hands `target` (a bare path or address) to the opener; returns at once, and what becomes
    // of it is not reported.
    virtual void open(const std::string& target) = 0;
};

// The target as the opener gets it: a path or address enclosed in double quotes (so that it
// stays whole on a command line) loses them; anything else is passed as it is.
std::string shellTarget(const std::string& target);

// A path enclosed in double quotes, as the shell open request takes it.
std::string quotedTarget(const std::string& path);

// The shell open request: hands shellTarget(target) to the installed opener.
void shellOpen(const std::string& target);
