#include "tools/make-plots/HrirFigures.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace plots {

namespace {

double sample(const vorpane::EarTable& table, vorpane::Ear ear, int32_t record, int32_t t) {
    return table.record(ear, record)[t];
}

} // namespace

double levelDifferenceDb(const vorpane::EarTable& table, int32_t azimuthStep,
                         int32_t elevationStep) {
    const int32_t record = vorpane::recordIndex(azimuthStep, elevationStep);
    double left = 0.0, right = 0.0;
    for (int32_t t = 0; t < table.taps(); ++t) {
        left += std::pow(sample(table, vorpane::Ear::left, record, t), 2);
        right += std::pow(sample(table, vorpane::Ear::right, record, t), 2);
    }
    return 10.0 * std::log10(left / right);
}

// The response's transform evaluated directly at each frequency, so a log-frequency axis is
// sampled evenly down to its lowest decade.
std::vector<double> magnitudeDb(const vorpane::EarTable& table, vorpane::Ear ear,
                                int32_t azimuthStep, int32_t elevationStep,
                                const std::vector<double>& frequencies) {
    const int32_t record = vorpane::recordIndex(azimuthStep, elevationStep);
    std::vector<double> result;
    result.reserve(frequencies.size());
    for (double frequency : frequencies) {
        const double omega = 2.0 * std::numbers::pi * frequency / table.rate();
        std::complex<double> sum = 0.0;
        for (int32_t t = 0; t < table.taps(); ++t)
            sum += sample(table, ear, record, t) * std::polar(1.0, -omega * t);
        result.push_back(20.0 * std::log10(std::max(std::abs(sum), 1e-9)));
    }
    return result;
}

} // namespace plots
