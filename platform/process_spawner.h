#pragma once

#include <memory>

#include "core/encoder.h"

// Starts the program by its path, without a path search, with standard input and outputs on
// /dev/null, and waits with waitpid; a program that does not end in time is killed.
std::unique_ptr<EncoderSpawner> makeProcessSpawner();
