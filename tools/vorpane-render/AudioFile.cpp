#include "tools/vorpane-render/AudioFile.h"

#include <sndfile.h>

#include <memory>

namespace render {

namespace {

struct CloseFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, CloseFile>;

constexpr sf_count_t kChunkFrames = 65536;

} // namespace

bool readAudioFile(const std::string& path, StereoSignal& signal, std::string& error) {
    SF_INFO info{};
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels != 1 && info.channels != 2) {
        error = path + " has " + std::to_string(info.channels) +
                " channels; only mono and stereo files can be rendered";
        return false;
    }
    if (info.samplerate <= 0) {
        error = path + " has no usable sample rate";
        return false;
    }
    signal.sampleRate = info.samplerate;
    signal.sourceChannels = info.channels;
    signal.left.clear();
    signal.right.clear();
    std::vector<float> chunk(static_cast<size_t>(kChunkFrames * info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), chunk.data(), kChunkFrames);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            const float left = chunk[static_cast<size_t>(i * info.channels)];
            const float right = chunk[static_cast<size_t>(i * info.channels + info.channels - 1)];
            signal.left.push_back(left);
            signal.right.push_back(right);
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        error = "cannot read " + path + ": " + sf_strerror(file.get());
        return false;
    }
    return true;
}

bool writeAudioFile(const std::string& path, const StereoSignal& signal, std::string& error) {
    SF_INFO info{};
    info.samplerate = signal.sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SoundFile file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    std::vector<float> interleaved(2 * signal.frames());
    for (size_t i = 0; i < signal.frames(); ++i) {
        interleaved[2 * i] = signal.left[i];
        interleaved[2 * i + 1] = signal.right[i];
    }
    const auto frames = static_cast<sf_count_t>(signal.frames());
    if (sf_writef_float(file.get(), interleaved.data(), frames) != frames) {
        error = sf_strerror(file.get());
        return false;
    }
    // The header is only complete once the file is closed.
    SNDFILE* raw = file.release();
    if (sf_close(raw) != 0) {
        error = "the file could not be completed";
        return false;
    }
    return true;
}

} // namespace render
