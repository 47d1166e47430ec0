#pragma once

// What a fuzz target insists on: a broken promise stops the run, and libFuzzer keeps the input.
inline void require(bool condition) {
    if (!condition)
        __builtin_trap();
}
