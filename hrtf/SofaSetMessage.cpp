#include "hrtf/SofaSetMessage.h"

#include <cstring>
#include <stdexcept>

namespace sofamessage {

namespace {

constexpr char kMagic[8] = {'V', 'o', 'r', 'p', 'S', 'e', 't', '1'};
constexpr uint32_t kSet = 0, kRefusal = 1;
constexpr uint64_t kDoublesPerMeasurement = 5; // direction and delays, before the responses

template <typename T> void put(std::vector<unsigned char>& out, const T& value) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

template <typename T> T take(const unsigned char*& in) {
    T value;
    std::memcpy(&value, in, sizeof value);
    in += sizeof value;
    return value;
}

std::vector<unsigned char> headerBytes(uint32_t kind, uint32_t textBytes, double rate,
                                       uint64_t measurements, uint64_t taps) {
    std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
    put(out, kind);
    put(out, textBytes);
    put(out, rate);
    put(out, measurements);
    put(out, taps);
    return out;
}

} // namespace

uint64_t Header::bodyBytes() const {
    if (refusal) return textBytes;
    constexpr uint64_t kMax = UINT64_MAX / 16;
    if (taps > kMax || measurements > kMax / (2 * taps + kDoublesPerMeasurement)) return UINT64_MAX;
    return measurements * (2 * taps + kDoublesPerMeasurement) * sizeof(double);
}

std::vector<unsigned char> encode(const SofaSet& set) {
    const auto& all = set.measurements();
    const uint64_t taps = all.empty() ? 0 : all[0].response[0].size();
    std::vector<unsigned char> out = headerBytes(kSet, 0, set.sampleRate(), all.size(), taps);
    out.reserve(kHeaderBytes + Header{false, 0, 0.0, all.size(), taps}.bodyBytes());
    for (const MeasuredDirection& m : all) {
        for (double v : m.direction)
            put(out, v);
        for (double v : m.delay)
            put(out, v);
        for (const auto& response : m.response) {
            if (response.size() != taps) throw std::logic_error("responses of unequal length");
            for (double v : response)
                put(out, v);
        }
    }
    return out;
}

std::vector<unsigned char> encodeRefusal(const std::string& line) {
    std::vector<unsigned char> out =
        headerBytes(kRefusal, static_cast<uint32_t>(line.size()), 0.0, 0, 0);
    out.insert(out.end(), line.begin(), line.end());
    return out;
}

std::optional<Header> decodeHeader(const unsigned char* bytes) {
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return std::nullopt;
    const unsigned char* in = bytes + sizeof kMagic;
    Header header;
    const auto kind = take<uint32_t>(in);
    if (kind != kSet && kind != kRefusal) return std::nullopt;
    header.refusal = kind == kRefusal;
    header.textBytes = take<uint32_t>(in);
    header.rate = take<double>(in);
    header.measurements = take<uint64_t>(in);
    header.taps = take<uint64_t>(in);
    return header;
}

SofaSet decode(const Header& header, const std::string& path, const unsigned char* body) {
    if (header.refusal)
        throw std::runtime_error(
            std::string(reinterpret_cast<const char*>(body), header.textBytes));
    std::vector<MeasuredDirection> all(header.measurements);
    for (MeasuredDirection& m : all) {
        for (double& v : m.direction)
            v = take<double>(body);
        for (double& v : m.delay)
            v = take<double>(body);
        for (auto& response : m.response) {
            response.resize(header.taps);
            std::memcpy(response.data(), body, header.taps * sizeof(double));
            body += header.taps * sizeof(double);
        }
    }
    return SofaSet(path, header.rate, std::move(all));
}

} // namespace sofamessage
