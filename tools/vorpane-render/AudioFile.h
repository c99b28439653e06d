// Reading the input and writing the rendered output with libsndfile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

struct StereoSignal {
    std::vector<float> left, right;
    int32_t sampleRate = 0;
    int32_t sourceChannels = 0;
    size_t frames() const { return left.size(); }
};

// Reads a mono or stereo file; a mono file is copied to both channels.
bool readAudioFile(const std::string& path, StereoSignal& signal, std::string& error);
// Writes a stereo WAV file of 32-bit float samples; on failure error holds the reason.
bool writeAudioFile(const std::string& path, const StereoSignal& signal, std::string& error);

} // namespace render
