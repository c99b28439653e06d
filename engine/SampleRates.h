// The host rates the engine renders at. The table's responses were measured at 44.1 kHz; at any
// other rate they are resampled to it (TableResampler), so that a direction sounds the same at
// every rate.
#pragma once

#include <cstdint>

namespace vorpane {

constexpr double kTableRate = 44100.0;
constexpr double kLowestRate = 8000.0;
constexpr double kHighestRate = 384000.0;

// The most taps a response may have: one 1024-frame block convolved with 1025 taps fills the
// 2048-point transform exactly.
constexpr int32_t kMostTaps = 1025;

// The rate the engine uses for a rate a host sets: a positive rate is kept within 8 to 384 kHz
// (the nearest end of the range for one outside it, infinity included); zero, a negative rate
// and NaN, which name no rate at all, give 44.1 kHz.
double supportedRate(double hostRate);

// Taps of a response at this rate (one of supportedRate's): as long in time as the table's 256
// taps, at most kMostTaps.
int32_t tapsAtRate(double rate);

} // namespace vorpane
