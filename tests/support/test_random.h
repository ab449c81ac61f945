// Numbers for tests that make inputs at random: a small generator whose
// sequence depends only on its seed, so that a failing case comes back the
// same on every machine.
#pragma once

#include <cstdint>

namespace testrandom {

struct Generator {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    // A number from 0 to n - 1.
    std::uint32_t below(std::uint32_t n) { return next() % n; }
};

}  // namespace testrandom
