#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzz run on a broken property; libFuzzer keeps the input that broke it.
inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}
