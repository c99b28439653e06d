// A measured set, or the line that refuses its file, as the SOFA reader process sends it to the
// plug-in through a pipe: a fixed header, then the refusal's text or, per measurement, its
// direction, its two delays and its two responses, all as doubles in the machine's byte order,
// so the set arrives exactly as it was read.
#pragma once

#include "hrtf/SofaSet.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sofamessage {

constexpr size_t kHeaderBytes = 40;

struct Header {
    bool refusal = false;
    uint32_t textBytes = 0; // the refusal's
    double rate = 0.0;
    uint64_t measurements = 0;
    uint64_t taps = 0; // per response
    // What follows the header; UINT64_MAX when that does not fit in 64 bits.
    uint64_t bodyBytes() const;
};

std::vector<unsigned char> encode(const SofaSet& set);
std::vector<unsigned char> encodeRefusal(const std::string& line);

// The header at the start of a message: kHeaderBytes bytes. Nothing when they are not one.
std::optional<Header> decodeHeader(const unsigned char* bytes);
// The set a body of header.bodyBytes() bytes holds, read from `path`; a refusal is thrown as the
// std::runtime_error it names.
SofaSet decode(const Header& header, const std::string& path, const unsigned char* body);

} // namespace sofamessage
