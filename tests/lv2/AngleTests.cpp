// A direction port holds the angle the panel shows: every whole angle in a port's range reads
// back as itself on the panel's readout, and the range's ends select the table's ends.
#include "editor/VrpEditor.h"
#include "engine/DirectionAngles.h"
#include "engine/HrirTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

std::string readout(int degrees) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d\xB0", degrees);
    return text;
}

} // namespace

TEST(DirectionAngles, EveryWholeAngleReadsBackOnThePanelAndTheEndsSelectTheTablesEnds) {
    char text[16];
    for (int degrees = -90; degrees <= 90; ++degrees) {
        azimuthToText(vorpane::kAzimuthDegrees.value(static_cast<float>(degrees)), text);
        EXPECT_EQ(text, readout(degrees));
    }
    for (int degrees = -45; degrees <= 225; ++degrees) {
        elevationToText(vorpane::kElevationDegrees.value(static_cast<float>(degrees)), text);
        EXPECT_EQ(text, readout(degrees));
    }
    // The defaults are the VST plug-in's initial values, exactly.
    EXPECT_EQ(vorpane::kAzimuthDegrees.value(0.25f), 0.5f);
    EXPECT_EQ(vorpane::kElevationDegrees.value(90.25f), 0.5f);
    // Clamped: beyond the range and at its ends, the first and the last step.
    EXPECT_EQ(vorpane::azimuthStep(vorpane::kAzimuthDegrees.value(-1000.0f)), 0);
    EXPECT_EQ(vorpane::azimuthStep(vorpane::kAzimuthDegrees.value(90.0f)), 24);
    EXPECT_EQ(vorpane::azimuthStep(vorpane::kAzimuthDegrees.value(1000.0f)), 24);
    EXPECT_EQ(vorpane::elevationStep(vorpane::kElevationDegrees.value(-45.0f)), 0);
    EXPECT_EQ(vorpane::elevationStep(vorpane::kElevationDegrees.value(225.0f)), 49);
    EXPECT_EQ(vorpane::kAzimuthDegrees.value(std::numeric_limits<float>::quiet_NaN()),
              vorpane::kAzimuthDegrees.value(0.0f));
}
