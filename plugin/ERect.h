// The editor rectangle handed to the host.
#pragma once

#include <cstdint>

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
