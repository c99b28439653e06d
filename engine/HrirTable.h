// The built-in table of head-related impulse responses: 1250 directions (25 azimuth steps x 50
// elevation steps), a left-ear table followed by a right-ear table, each record 256 signed 16-bit
// little-endian taps, value s standing for s / 32768.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorpane {

constexpr int32_t kAzimuthSteps = 25;
constexpr int32_t kElevationSteps = 50;
constexpr int32_t kDirections = kAzimuthSteps * kElevationSteps;
constexpr int32_t kTapsPerRecord = 256;
constexpr size_t kRecordBytes = kTapsPerRecord * 2;
constexpr size_t kEarTableBytes = kDirections * kRecordBytes;
constexpr size_t kHrirTableBytes = 2 * kEarTableBytes; // 1,280,000

enum class Ear { left = 0, right = 1 };

// The step a normalised parameter value selects: trunc(value x 24.99) or trunc(value x 49.99),
// formed in double precision, kept inside the table for values outside 0..1 and for NaN.
int32_t azimuthStep(float value);
int32_t elevationStep(float value);
constexpr int32_t recordIndex(int32_t azimuthStep, int32_t elevationStep) {
    return azimuthStep + kAzimuthSteps * elevationStep;
}

// A read-only view of a table in the stored format. The plug-in uses the embedded table; tests
// hand the engine tables of their own.
class HrirTable {
  public:
    explicit HrirTable(const unsigned char* bytes) : bytes(bytes) {}

    int16_t tap(Ear ear, int32_t record, int32_t t) const {
        const unsigned char* p = bytes + static_cast<size_t>(ear) * kEarTableBytes +
                                 static_cast<size_t>(record) * kRecordBytes +
                                 static_cast<size_t>(t) * 2;
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    }
    const unsigned char* data() const { return bytes; }

  private:
    const unsigned char* bytes;
};

// The table built into the library.
HrirTable embeddedHrirTable();

} // namespace vorpane
