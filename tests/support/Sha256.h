// SHA-256 (FIPS 180-4) for checking data files in tests.
#pragma once

#include <cstddef>
#include <string>

namespace testsupport {

// The digest of the bytes as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::string sha256Hex(const unsigned char* data, size_t size);

} // namespace testsupport
