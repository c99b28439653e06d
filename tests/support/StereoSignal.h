// A stereo signal as the tests hand it to a plug-in and get it back, and the one most of them
// play: an impulse on the left at frame 0, then noise on both channels from frame 4000.
#pragma once

#include <cstddef>
#include <random>
#include <vector>

namespace testsignal {

struct Stereo {
    std::vector<float> left, right;
};

inline Stereo silence(size_t frames) {
    return {std::vector<float>(frames), std::vector<float>(frames)};
}

inline Stereo impulseThenNoise(size_t frames) {
    Stereo signal = silence(frames);
    if (frames > 0) signal.left[0] = 1.0f;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    for (size_t i = 4000; i < frames; ++i) {
        signal.left[i] = noise(random);
        signal.right[i] = noise(random);
    }
    return signal;
}

} // namespace testsignal
