#include "hrtf/SofaFile.h"

#include <mysofa.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Directions at most this far from the horizontal plane make a set usable.
constexpr double kHorizontalToleranceDegrees = 10.0;

const char* checkFailure(int err) {
    switch (err) {
    case MYSOFA_INVALID_DIMENSIONS:
    case MYSOFA_INVALID_DIMENSION_LIST:
        return "its dimensions do not match the SimpleFreeFieldHRIR convention";
    case MYSOFA_INVALID_COORDINATE_TYPE:
        return "a position is neither cartesian nor spherical";
    case MYSOFA_ONLY_EMITTER_WITH_ECI_SUPPORTED:
        return "it has more than one emitter";
    case MYSOFA_ONLY_DELAYS_WITH_IR_OR_MR_SUPPORTED:
        return "Data.Delay is neither one pair of delays nor one pair per measurement";
    case MYSOFA_ONLY_THE_SAME_SAMPLING_RATE_SUPPORTED:
        return "it has more than one sample rate";
    case MYSOFA_RECEIVERS_WITH_RCI_SUPPORTED:
    case MYSOFA_RECEIVERS_WITH_CARTESIAN_SUPPORTED:
    case MYSOFA_INVALID_RECEIVER_POSITIONS:
        return "its receivers are not two ears on either side of the head";
    case MYSOFA_ONLY_SOURCES_WITH_MC_SUPPORTED:
        return "its source positions are not one per measurement";
    default:
        return "it does not follow the SimpleFreeFieldHRIR convention";
    }
}

// Larger samples than this (60 dB above full scale) come from no measurement.
constexpr double kLargestSample = 1000.0;

// What the start of the file says: "" when it is an HDF5 file whole, else why it is not. An HDF5
// file (netCDF-4, and so SOFA, is one) starts with an eight-byte signature and a superblock that
// gives the file's length; a file shorter than that was cut short.
std::string hdf5Fault(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char head[96] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const auto got = static_cast<size_t>(in.gcount());
    static const unsigned char signature[8] = {0x89, 'H', 'D', 'F', '\r', '\n', 0x1a, '\n'};
    if (got < 8 || std::memcmp(head, signature, 8) != 0)
        return "not a SOFA file (no HDF5 / netCDF-4 data)";
    // Version 0 and 1 superblocks: sizes at bytes 13 and 14, then the base, free-space and end
    // addresses after 24 (version 0) or 28 (version 1) bytes; versions 2 and 3: sizes at 9 and 10,
    // the end address third after byte 12.
    const unsigned version = head[8];
    size_t offsetSize = 0, endAt = 0;
    if (version <= 1) {
        offsetSize = head[13];
        endAt = (version == 0 ? 24 : 28) + 2 * offsetSize;
    } else if (version <= 3) {
        offsetSize = head[9];
        endAt = 12 + 2 * offsetSize;
    }
    if (offsetSize != 4 && offsetSize != 8) return "its HDF5 superblock is damaged";
    if (got < endAt + offsetSize) return "truncated: it ends inside its HDF5 superblock";
    uint64_t end = 0;
    for (size_t i = 0; i < offsetSize; ++i)
        end |= static_cast<uint64_t>(head[endAt + i]) << (8 * i);
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return "cannot be read";
    if (size < end)
        return "truncated: " + std::to_string(size) + " of the " + std::to_string(end) +
               " bytes its HDF5 superblock gives";
    return "";
}

struct HrtfDeleter {
    void operator()(MYSOFA_HRTF* hrtf) const { mysofa_free(hrtf); }
};

std::string attribute(MYSOFA_HRTF* hrtf, const char* name) {
    const char* value = mysofa_getAttribute(hrtf->attributes, const_cast<char*>(name));
    return value ? value : "";
}

} // namespace

SofaSet readSofaFile(const std::string& path) {
    auto refuse = [&](const std::string& why) { return std::runtime_error(path + ": " + why); };
    if (!std::filesystem::is_regular_file(path)) throw refuse("no such file");
    if (const std::string fault = hdf5Fault(path); !fault.empty()) throw refuse(fault);
    int err = MYSOFA_OK;
    std::unique_ptr<MYSOFA_HRTF, HrtfDeleter> hrtf(mysofa_load(path.c_str(), &err));
    if (!hrtf || err != MYSOFA_OK)
        throw refuse(err == MYSOFA_READ_ERROR  ? "cannot be read"
                     : err == MYSOFA_NO_MEMORY ? "not enough memory to read it"
                     : err == MYSOFA_UNSUPPORTED_FORMAT
                         ? "its HDF5 layout is one libmysofa cannot read"
                         : "not a SOFA file (no HDF5 / netCDF-4 data)");
    const std::string convention = attribute(hrtf.get(), "SOFAConventions");
    if (attribute(hrtf.get(), "Conventions") != "SOFA")
        throw refuse("not a SOFA file (no Conventions attribute \"SOFA\")");
    if (convention != "SimpleFreeFieldHRIR")
        throw refuse("convention \"" + convention + "\", not SimpleFreeFieldHRIR");
    if (hrtf->R != 2)
        throw refuse("it has " + std::to_string(hrtf->R) +
                     (hrtf->R == 1 ? " receiver" : " receivers") +
                     "; the table needs two, the left and the right ear");
    if (hrtf->M == 0 || hrtf->N == 0) throw refuse("it holds no responses");
    if (const int check = mysofa_check(hrtf.get()); check != MYSOFA_OK)
        throw refuse(checkFailure(check));
    const double rate = hrtf->DataSamplingRate.values[0];
    if (!(rate >= 8000.0 && rate <= 384000.0))
        throw refuse("sample rate " + std::to_string(rate) + " Hz is out of range");
    mysofa_tocartesian(hrtf.get());

    const MYSOFA_HRTF& h = *hrtf;
    const bool delayPerMeasurement = h.DataDelay.elements == 2 * h.M;
    bool nearHorizontal = false;
    std::vector<MeasuredDirection> all(h.M);
    for (unsigned m = 0; m < h.M; ++m) {
        MeasuredDirection& d = all[m];
        const float* p = h.SourcePosition.values + 3 * m;
        const double length = std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + p[2] * p[2]);
        if (!(length > 0.0) || !std::isfinite(length))
            throw refuse("source position " + std::to_string(m) + " is not a direction");
        d.direction = {p[0] / length, p[1] / length, p[2] / length};
        if (std::fabs(std::asin(d.direction[2])) * 180.0 / std::numbers::pi <=
            kHorizontalToleranceDegrees)
            nearHorizontal = true;
        for (int ear = 0; ear < 2; ++ear) {
            const float* ir = h.DataIR.values + (static_cast<size_t>(m) * 2 + ear) * h.N;
            d.response[ear].assign(ir, ir + h.N);
            for (double v : d.response[ear]) {
                if (!std::isfinite(v))
                    throw refuse("measurement " + std::to_string(m) +
                                 " holds a value that is not a number");
                if (std::fabs(v) > kLargestSample)
                    throw refuse("measurement " + std::to_string(m) + " holds a sample " +
                                 std::to_string(std::lround(20 * std::log10(std::fabs(v)))) +
                                 " dB above full scale, which no measurement gives");
            }
            const size_t at = delayPerMeasurement ? 2 * m + ear : ear;
            d.delay[ear] = at < h.DataDelay.elements ? h.DataDelay.values[at] : 0.0;
            if (!(d.delay[ear] >= 0.0 && d.delay[ear] < 10.0 * h.N))
                throw refuse("measurement " + std::to_string(m) + " has a delay out of range");
        }
    }
    if (!nearHorizontal)
        throw refuse("no measured direction lies within 10 degrees of the horizontal plane");
    return SofaSet(path, rate, std::move(all));
}
