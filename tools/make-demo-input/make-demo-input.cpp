// make-demo-input OUTPUT [SECONDS]: writes a mono test signal for the demo, a plucked arpeggio
// over a steady tick of short noise bursts (broadband, so the direction is easy to hear), at
// 48 kHz as a 16-bit WAV file. The signal is the same on every run.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kBeat = 0.25; // seconds between notes

// A plucked string: a burst of noise circulating in a damped delay line.
void addPluck(std::vector<float>& out, size_t start, double frequency, std::mt19937& random) {
    const auto period = static_cast<size_t>(kRate / frequency);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> line(period);
    for (float& v : line)
        v = noise(random);
    const size_t length = std::min(out.size() - start, static_cast<size_t>(1.2 * kRate));
    for (size_t i = 0; i < length; ++i) {
        const size_t at = i % period;
        const float next = line[(at + 1) % period];
        out[start + i] += 0.6f * line[at];
        line[at] = 0.4985f * (line[at] + next);
    }
}

// A short tick of decaying noise.
void addTick(std::vector<float>& out, size_t start, std::mt19937& random) {
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    const size_t length = std::min(out.size() - start, static_cast<size_t>(0.04 * kRate));
    for (size_t i = 0; i < length; ++i)
        out[start + i] +=
            0.35f * noise(random) * std::exp(-static_cast<float>(i) / (0.008f * kRate));
}

} // namespace

int main(int argc, char** argv) {
    const char* usage = "usage: make-demo-input OUTPUT [SECONDS]\n";
    if (argc >= 2 && std::string(argv[1]) == "--help") {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    double seconds = 8.0;
    if (argc == 3) {
        char* end = nullptr;
        seconds = std::strtod(argv[2], &end);
        if (*end != 0 || !(seconds >= 0.5 && seconds <= 600.0)) {
            std::fprintf(stderr, "make-demo-input: SECONDS must be from 0.5 to 600\n");
            return 2;
        }
    }
    std::vector<float> signal(static_cast<size_t>(seconds * kRate), 0.0f);
    std::mt19937 random(2024);
    // C major arpeggio climbing and falling: C4 E4 G4 C5 G4 E4.
    const double notes[] = {261.63, 329.63, 392.00, 523.25, 392.00, 329.63};
    const auto step = static_cast<size_t>(kBeat * kRate);
    for (size_t n = 0; n * step < signal.size(); ++n) {
        addPluck(signal, n * step, notes[n % 6], random);
        if (n % 2 == 0) addTick(signal, n * step, random);
    }
    float peak = 0.0f;
    for (float v : signal)
        peak = std::max(peak, std::abs(v));
    // Peaks at -12 dBFS: the ear responses lift a source at the side by up to about 9 dB at the
    // near ear, and the rendered demo should stay below full scale.
    for (float& v : signal)
        v *= 0.25f / peak;

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make-demo-input: cannot write %s: %s\n", argv[1],
                     sf_strerror(nullptr));
        return 5;
    }
    const auto frames = static_cast<sf_count_t>(signal.size());
    const bool written = sf_writef_float(file, signal.data(), frames) == frames;
    if (sf_close(file) != 0 || !written) {
        std::fprintf(stderr, "make-demo-input: cannot write %s\n", argv[1]);
        return 5;
    }
    std::printf("Wrote %s: %.1f s of plucked arpeggio over noise ticks, mono, 48 kHz\n", argv[1],
                seconds);
    return 0;
}
