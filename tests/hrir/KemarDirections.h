// The 710 source directions of the MIT KEMAR measurements (rings of elevation -40 to 90 degrees
// in steps of 10, each ring's azimuths evenly spaced from 0, counter-clockwise seen from above)
// and, for every direction of the table, which measurement lies nearest.
#pragma once

#include <vector>

namespace kemar {

constexpr int kMeasurements = 710;
constexpr int kAmbiguous = -1;

// The nearest measurement to azimuth step a, elevation step e of the table, or kAmbiguous when a
// second measurement lies within 0.01 degrees of the same distance (which one a lookup returns
// then depends on rounding).
int nearestMeasurement(int a, int e);

// The measurement at the mirrored azimuth (left and right exchanged).
int mirroredMeasurement(int m);

} // namespace kemar
