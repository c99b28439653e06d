// vorpane-render [options] INPUT OUTPUT: renders an audio file through the plug-in, loaded and
// driven as a host does, and writes the rendered stereo file. See usageText() for the options.
#include "tools/plugin-loader/PluginHost.h"
#include "tools/plugin-loader/PluginLibrary.h"
#include "tools/vorpane-render/AudioFile.h"
#include "tools/vorpane-render/ExitCodes.h"
#include "tools/vorpane-render/ProgressLine.h"
#include "tools/vorpane-render/RenderOptions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace render;

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "vorpane-render: %s\n", message.c_str());
    if (code == kExitUsage) std::fprintf(stderr, "Try 'vorpane-render --help'.\n");
    return code;
}

std::string describe(const Parameter& parameter) {
    char text[64];
    if (parameter.sweep)
        std::snprintf(text, sizeof(text), "swept from %.3g to %.3g", parameter.sweep->from,
                      parameter.sweep->to);
    else
        std::snprintf(text, sizeof(text), "%.3g", parameter.value);
    return text;
}

// Runs the input through the plug-in in blocks, moving swept parameters between blocks, and
// drops the plug-in's latency from the start so the output lines up with the input.
StereoSignal renderThrough(loader::PluginHost& host, const StereoSignal& input,
                           const RenderOptions& options, ProgressLine& progress) {
    const size_t frames = input.frames();
    const size_t latency = static_cast<size_t>(std::max(0, host.latency()));
    const size_t total = frames + latency;
    const auto block = static_cast<size_t>(options.block);

    StereoSignal output;
    output.sampleRate = input.sampleRate;
    output.left.assign(frames, 0.0f);
    output.right.assign(frames, 0.0f);

    std::vector<float> inL(block), inR(block), outL(block), outR(block);
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    const bool swept = options.azimuth.sweep || options.elevation.sweep;
    host.setParameter(0, options.azimuth.at(0.0));
    host.setParameter(1, options.elevation.at(0.0));

    for (size_t start = 0; start < total; start += block) {
        progress.update(start, total);
        const size_t count = std::min(block, total - start);
        if (swept && start > 0) {
            const double fraction =
                frames > 1 ? std::min(1.0, static_cast<double>(start) / (frames - 1)) : 1.0;
            if (options.azimuth.sweep) host.setParameter(0, options.azimuth.at(fraction));
            if (options.elevation.sweep) host.setParameter(1, options.elevation.at(fraction));
        }
        for (size_t i = 0; i < count; ++i) {
            const size_t t = start + i;
            inL[i] = t < frames ? input.left[t] : 0.0f;
            inR[i] = t < frames ? input.right[t] : 0.0f;
        }
        host.processReplacing(inputs, outputs, static_cast<int32_t>(count));
        for (size_t i = 0; i < count; ++i) {
            const size_t t = start + i;
            if (t < latency) continue;
            output.left[t - latency] = outL[i];
            output.right[t - latency] = outR[i];
        }
    }
    progress.clear();
    return output;
}

void printPeak(const char* channel, const std::vector<float>& samples) {
    float peak = 0.0f;
    for (float v : samples)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0f)
        std::printf("  peak %-5s %.6f (%.1f dBFS)\n", channel, peak, 20.0 * std::log10(peak));
    else
        std::printf("  peak %-5s 0 (silent)\n", channel);
}

} // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) return fail(kExitUsage, error);
    if (options.help) {
        std::fputs(usageText(), stdout);
        return kExitOk;
    }
    if (options.plugin.empty()) options.plugin = loader::defaultPluginPath();

    if (access(options.input.c_str(), F_OK) != 0)
        return fail(kExitInput, "input file " + options.input + " does not exist");
    if (sameFile(options.input, options.output))
        return fail(kExitUsage, "OUTPUT must not be the INPUT file " + options.input);

    StereoSignal input;
    if (!readAudioFile(options.input, input, error)) return fail(kExitInput, error);

    loader::PluginHost host;
    if (!host.load(options.plugin, static_cast<float>(input.sampleRate), options.block, error))
        return fail(kExitPlugin, error);

    ProgressLine progress(stderr, !options.quiet && isatty(STDERR_FILENO), input.sampleRate);
    const StereoSignal output = renderThrough(host, input, options, progress);

    // Written beside the target first, so a failed write leaves no half-written OUTPUT.
    const std::string partial = options.output + ".partial";
    if (!writeAudioFile(partial, output, error)) {
        std::remove(partial.c_str());
        return fail(kExitOutput, "cannot write " + options.output + ": " + error);
    }
    if (std::rename(partial.c_str(), options.output.c_str()) != 0) {
        std::remove(partial.c_str());
        return fail(kExitOutput, "cannot write " + options.output);
    }

    if (options.quiet) return kExitOk;
    std::printf("Rendered %s (%zu frames, %d Hz, %s) through %s\n", options.input.c_str(),
                input.frames(), input.sampleRate, input.sourceChannels == 1 ? "mono" : "stereo",
                host.effectName().c_str());
    std::printf("  plug-in   %s\n", options.plugin.c_str());
    std::printf("  blocks    %d frames; latency of %d frames removed from the start\n",
                options.block, host.latency());
    std::printf("  azimuth   %s\n", describe(options.azimuth).c_str());
    std::printf("  elevation %s\n", describe(options.elevation).c_str());
    std::printf("  output    %s (stereo, 32-bit float WAV)\n", options.output.c_str());
    printPeak("left", output.left);
    printPeak("right", output.right);
    return kExitOk;
}
