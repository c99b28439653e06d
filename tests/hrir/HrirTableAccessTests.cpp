// Reading taps out of a table and choosing the record for a pair of parameter values.
#include "engine/HrirTable.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using vorpane::azimuthStep;
using vorpane::Ear;
using vorpane::elevationStep;
using vorpane::HrirTable;
using vorpane::kEarTableBytes;
using vorpane::kHrirTableBytes;
using vorpane::kRecordBytes;
using vorpane::recordIndex;

namespace {

TEST(HrirTableTap, DecodesSignedLittleEndianSamplesOfEachEarAndRecord) {
    std::vector<unsigned char> bytes(kHrirTableBytes, 0);
    auto put = [&](size_t offset, unsigned char low, unsigned char high) {
        bytes[offset] = low;
        bytes[offset + 1] = high;
    };
    put(0, 0x34, 0x12);
    put(2, 0x00, 0x80);
    put(4, 0xff, 0xff);
    put(6, 0xff, 0x7f);
    put(kRecordBytes * 612 + 2 * 255, 0x01, 0x00);
    put(kEarTableBytes + kRecordBytes * 1249 + 2 * 7, 0xfe, 0xff);
    const HrirTable table(bytes.data());
    EXPECT_EQ(table.tap(Ear::left, 0, 0), 0x1234);
    EXPECT_EQ(table.tap(Ear::left, 0, 1), -32768);
    EXPECT_EQ(table.tap(Ear::left, 0, 2), -1);
    EXPECT_EQ(table.tap(Ear::left, 0, 3), 32767);
    EXPECT_EQ(table.tap(Ear::right, 0, 0), 0);
    EXPECT_EQ(table.tap(Ear::left, 612, 255), 1);
    EXPECT_EQ(table.tap(Ear::right, 612, 255), 0);
    EXPECT_EQ(table.tap(Ear::right, 1249, 7), -2);
    EXPECT_EQ(table.tap(Ear::left, 1249, 7), 0);
}

TEST(DirectionSteps, TruncateTheScaledValue) {
    EXPECT_EQ(azimuthStep(0.0f), 0);
    EXPECT_EQ(elevationStep(0.0f), 0);
    EXPECT_EQ(azimuthStep(0.5f), 12);
    EXPECT_EQ(elevationStep(0.5f), 24);
    EXPECT_EQ(recordIndex(azimuthStep(0.5f), elevationStep(0.5f)), 612);
    EXPECT_EQ(azimuthStep(1.0f), 24);
    EXPECT_EQ(elevationStep(1.0f), 49);
    EXPECT_EQ(recordIndex(azimuthStep(1.0f), elevationStep(1.0f)), 1249);
    EXPECT_EQ(azimuthStep(0.9603f), 23);
    EXPECT_EQ(azimuthStep(0.9604f), 24);
    EXPECT_EQ(elevationStep(0.9801f), 48);
    EXPECT_EQ(elevationStep(0.9802f), 49);
    // Band edges: k / 24.99 and k / 49.99.
    EXPECT_EQ(azimuthStep(0.04f), 0);
    EXPECT_EQ(azimuthStep(0.0401f), 1);
    EXPECT_EQ(elevationStep(0.02f), 0);
    EXPECT_EQ(elevationStep(0.0201f), 1);
}

TEST(DirectionSteps, StayInsideTheTableForValuesOutsideTheRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {-0.01f, -0.5f, -1e30f, -inf, nan}) {
        EXPECT_EQ(azimuthStep(v), 0) << v;
        EXPECT_EQ(elevationStep(v), 0) << v;
    }
    for (float v : {1.0001f, 1.5f, 1e30f, inf}) {
        EXPECT_EQ(azimuthStep(v), 24) << v;
        EXPECT_EQ(elevationStep(v), 49) << v;
    }
}

} // namespace
