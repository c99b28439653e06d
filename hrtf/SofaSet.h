// A measured set of head-related impulse responses, as read from an AES69 (SOFA) file of the
// SimpleFreeFieldHRIR convention with two receivers (left ear first): hrtf/SofaFile.h reads one.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct MeasuredDirection {
    std::array<double, 3> direction;             // unit vector: x forward, y left, z up
    std::array<std::vector<double>, 2> response; // left ear, right ear; at the file's rate
    std::array<double, 2> delay; // each ear's separate delay, in samples at the file's rate
};

class SofaSet {
  public:
    SofaSet(std::string path, double sampleRate, std::vector<MeasuredDirection> measurements)
        : file(std::move(path)), rate(sampleRate), all(std::move(measurements)) {}

    const std::string& path() const { return file; }
    double sampleRate() const { return rate; }
    const std::vector<MeasuredDirection>& measurements() const { return all; }

    // The measurement nearest to a unit direction (largest cosine; the first on a tie).
    size_t nearest(const std::array<double, 3>& direction) const;

  private:
    std::string file;
    double rate = 0.0;
    std::vector<MeasuredDirection> all;
};
