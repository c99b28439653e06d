// The LV2 bundle as LV2 hosts and their tools see it: valid Turtle, ports in degrees, the
// latency port, binaries that export only their descriptors, and a rendering equal, sample for
// sample, to the VST plug-in's.
#include "engine/DirectionAngles.h"
#include "engine/EarTableCache.h"
#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"
#include "tests/support/Command.h"
#include "tests/support/StereoSignal.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testsupport::runCommand;

namespace {

const std::string kUri = "https://vorpane.farrowdale.audio/lv2/vorpane";
const fs::path kBundle = VORPANE_LV2_BUNDLE;

// lv2info and lv2apply as a user runs them, with LV2_PATH naming the build folder.
std::string lilvTool(const std::string& arguments, int& status) {
    return runCommand(
        "LV2_PATH='" + kBundle.parent_path().string() + "' " + arguments + " 2>/dev/null", status);
}

using testsignal::Stereo;

// Renders through the bundle as an LV2 host does: lilv reads the bundle's .ttl files, finds the
// ports by their symbols and loads the audio binary; the host's blocks change length from call
// to call, some longer than any announced size.
Stereo renderWithLv2(const Stereo& input, float azimuth, float elevation, float& latency) {
    Stereo output = testsignal::silence(input.left.size());
    LilvWorld* world = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, (kBundle.string() + "/").c_str());
    lilv_world_load_bundle(world, bundle);
    LilvNode* uri = lilv_new_uri(world, kUri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    LilvInstance* instance = plugin ? lilv_plugin_instantiate(plugin, 48000.0, nullptr) : nullptr;
    if (instance) {
        auto connect = [&](const char* symbol, void* data) {
            LilvNode* name = lilv_new_string(world, symbol);
            const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, name);
            lilv_node_free(name);
            if (port) lilv_instance_connect_port(instance, lilv_port_get_index(plugin, port), data);
            return port != nullptr;
        };
        EXPECT_TRUE(connect("azimuth", &azimuth) && connect("elevation", &elevation) &&
                    connect("latency", &latency));
        lilv_instance_activate(instance);
        std::mt19937 random(11);
        std::uniform_int_distribution<uint32_t> length(1, 6000);
        for (size_t at = 0; at < input.left.size();) {
            const auto frames =
                static_cast<uint32_t>(std::min<size_t>(length(random), input.left.size() - at));
            connect("in_left", const_cast<float*>(input.left.data()) + at);
            connect("in_right", const_cast<float*>(input.right.data()) + at);
            connect("out_left", output.left.data() + at);
            connect("out_right", output.right.data() + at);
            lilv_instance_run(instance, frames);
            at += frames;
        }
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    EXPECT_NE(instance, nullptr);
    lilv_node_free(uri);
    lilv_node_free(bundle);
    lilv_world_free(world);
    return output;
}

// The VST plug-in's rendering of the same signal at the same rate, in host blocks of 512 frames.
Stereo renderWithVst(const Stereo& input, float azimuth, float elevation) {
    testhost::TestHost host;
    host.load();
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effMainsChanged, 0, 1);
    host.setParameter(0, azimuth);
    host.setParameter(1, elevation);
    Stereo output = testsignal::silence(input.left.size());
    constexpr size_t kBlock = 512;
    for (size_t at = 0; at < input.left.size(); at += kBlock) {
        const auto frames = static_cast<int32_t>(std::min(kBlock, input.left.size() - at));
        float* in[] = {const_cast<float*>(input.left.data()) + at,
                       const_cast<float*>(input.right.data()) + at};
        float* out[] = {output.left.data() + at, output.right.data() + at};
        host.process(in, out, frames);
    }
    return output;
}

std::set<std::string> exportedNames(const fs::path& binary) {
    int status = 0;
    const std::string listing =
        runCommand("nm -D --defined-only '" + binary.string() + "'", status);
    std::set<std::string> names;
    size_t start = 0;
    while (start < listing.size()) {
        const size_t end = listing.find('\n', start);
        const std::string line = listing.substr(start, end - start);
        if (!line.empty()) names.insert(line.substr(line.rfind(' ') + 1));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return names;
}

} // namespace

TEST(Lv2Bundle, ValidatesAndShowsItsPortsInDegreesAndItsLatency) {
    int status = 0;
    const std::string validation =
        runCommand("lv2_validate '" + (kBundle / "manifest.ttl").string() + "' '" +
                       (kBundle / "vorpane.ttl").string() + "' 2>&1",
                   status);
    EXPECT_EQ(status, 0) << validation;
    EXPECT_NE(validation.find("Found 0 errors"), std::string::npos) << validation;

    const std::string info = lilvTool("lv2info " + kUri, status);
    ASSERT_EQ(status, 0) << info;
    EXPECT_NE(info.find("Has latency:       yes, reported by port 6"), std::string::npos) << info;
    for (const char* line :
         {"Symbol:      azimuth", "Minimum:     -90.000000", "Maximum:     90.000000",
          "Default:     0.250000", "Symbol:      elevation", "Minimum:     -45.000000",
          "Maximum:     225.000000", "Default:     90.250000", "Symbol:      latency",
          "http://lv2plug.in/ns/lv2core#latency"})
        EXPECT_NE(info.find(line), std::string::npos) << line << " in\n" << info;

    const fs::path description =
        fs::temp_directory_path() / ("vorpane-lv2info-" + std::to_string(getpid()) + ".ttl");
    lilvTool("lv2info -p '" + description.string() + "' " + kUri, status);
    const std::string turtle = runCommand("cat '" + description.string() + "'", status);
    fs::remove(description);
    size_t degrees = 0;
    for (size_t at = turtle.find("units#degree"); at != std::string::npos;
         at = turtle.find("units#degree", at + 1))
        ++degrees;
    EXPECT_EQ(degrees, 2u) << turtle;
}

TEST(Lv2Bundle, BinariesExportOnlyTheirDescriptorsAndTheAudioOneLinksNoGraphicsNorLibmysofa) {
    EXPECT_EQ(exportedNames(kBundle / "vorpane_dsp.so"), std::set<std::string>{"lv2_descriptor"});
    EXPECT_EQ(exportedNames(kBundle / "vorpane_ui.so"), std::set<std::string>{"lv2ui_descriptor"});
    int status = 0;
    const std::string needed =
        runCommand("readelf -d '" + (kBundle / "vorpane_dsp.so").string() + "'", status);
    ASSERT_EQ(status, 0);
    for (const char* library :
         {"libX11", "libcairo", "libpng", "libfontconfig", "libz", "libmysofa"})
        EXPECT_EQ(needed.find(library), std::string::npos) << library << " in\n" << needed;
}

TEST(Lv2Render, EqualsTheVstPluginSampleForSampleWithTheImpulse1791FramesLate) {
    constexpr size_t kFrames = 40000;
    const Stereo input = testsignal::impulseThenNoise(kFrames);

    const float azimuth = 0.3f, elevation = 0.7f;
    float latency = 0.0f;
    const Stereo lv2 =
        renderWithLv2(input, static_cast<float>(vorpane::kAzimuthDegrees.degrees(azimuth)),
                      static_cast<float>(vorpane::kElevationDegrees.degrees(elevation)), latency);
    const Stereo vst = renderWithVst(input, azimuth, elevation);
    EXPECT_EQ(latency, 1791.0f);
    EXPECT_TRUE(lv2.left == vst.left);
    EXPECT_TRUE(lv2.right == vst.right);

    // The left ear's response of the direction at the host's 48 kHz, from frame 1791 on;
    // silence before.
    const auto table = vorpane::builtInEarTable(48000.0);
    const int32_t record =
        vorpane::recordIndex(vorpane::azimuthStep(azimuth), vorpane::elevationStep(elevation));
    for (int32_t i = 0; i < vorpane::kSignalDelay; ++i)
        ASSERT_EQ(lv2.left[static_cast<size_t>(i)], 0.0f) << i;
    ASSERT_EQ(table->taps(), 279);
    for (int32_t t = 0; t < table->taps(); ++t)
        EXPECT_NEAR(lv2.left[static_cast<size_t>(vorpane::kSignalDelay + t)],
                    table->record(vorpane::Ear::left, record)[t], 1e-6)
            << t;
}

// lv2apply offers no worker and connects no atom port: the plug-in still renders a file there.
TEST(Lv2Bundle, RendersAFileInLv2apply) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer build of the plug-in loads only into a program built with it";
#endif
    const fs::path dir =
        fs::temp_directory_path() / ("vorpane-lv2apply-" + std::to_string(getpid()));
    fs::create_directories(dir);
    {
        // A second of a 16-bit stereo WAV: a 300 Hz tone on the left.
        std::ofstream wav(dir / "in.wav", std::ios::binary);
        const uint32_t frames = 44100, bytes = frames * 4;
        auto u32 = [&](uint32_t v) { wav.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { wav.write(reinterpret_cast<const char*>(&v), 2); };
        wav.write("RIFF", 4), u32(36 + bytes), wav.write("WAVEfmt ", 8), u32(16), u16(1), u16(2);
        u32(44100), u32(44100 * 4), u16(4), u16(16), wav.write("data", 4), u32(bytes);
        for (uint32_t i = 0; i < frames; ++i)
            u16(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.0427)))), u16(0);
    }
    int status = 0;
    const std::string output = lilvTool("lv2apply -i '" + (dir / "in.wav").string() + "' -o '" +
                                            (dir / "out.wav").string() + "' -c azimuth -60 " + kUri,
                                        status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_GT(fs::exists(dir / "out.wav") ? fs::file_size(dir / "out.wav") : 0u, 44100u * 4);
    fs::remove_all(dir);
}
