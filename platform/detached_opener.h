#pragma once

#include <memory>
#include <string>

#include "core/shell.h"

// `program` (xdg-open in the program) started detached with the target as its one argument.
std::unique_ptr<ShellOpener> makeDetachedOpener(const std::string& program);
