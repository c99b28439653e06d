// Figures of the built-in HRIR table, at the rate the engine would render it, for the plots: the
// level difference between the ears of every direction and the magnitude response of one ear.
#pragma once

#include "engine/EarTable.h"

#include <vector>

namespace plots {

// Left-ear energy over right-ear energy of a direction's record, in dB.
double levelDifferenceDb(const vorpane::EarTable& table, int32_t azimuthStep,
                         int32_t elevationStep);

// The magnitude in dB (0 dB = a gain of 1) of one ear's response at each frequency in Hz.
std::vector<double> magnitudeDb(const vorpane::EarTable& table, vorpane::Ear ear,
                                int32_t azimuthStep, int32_t elevationStep,
                                const std::vector<double>& frequencies);

} // namespace plots
