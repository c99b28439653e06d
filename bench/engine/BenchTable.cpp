#include "bench/engine/BenchTable.h"

#include <random>

namespace bench {

const std::vector<unsigned char>& randomTableBytes() {
    static const std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> b(vorpane::kHrirTableBytes);
        std::mt19937 generator(1);
        for (unsigned char& v : b)
            v = static_cast<unsigned char>(generator());
        return b;
    }();
    return bytes;
}

std::vector<double> recordTaps(vorpane::Ear ear) {
    const vorpane::HrirTable table(randomTableBytes().data());
    const int32_t record =
        vorpane::recordIndex(vorpane::azimuthStep(0.5f), vorpane::elevationStep(0.5f));
    std::vector<double> taps(vorpane::kTapsPerRecord);
    for (int32_t t = 0; t < vorpane::kTapsPerRecord; ++t)
        taps[t] = table.tap(ear, record, t) / 32768.0;
    return taps;
}

} // namespace bench
