// The LV2 plug-in's "HRTF file" parameter, in a lilv host with a worker of its own: a SOFA file
// loaded at run time renders what a plug-in built around it renders; files that cannot be used
// are refused with one log line and change nothing; the session keeps the file.
// (scripts/damaged-sofa-files.sh puts damaged copies through the same load path.)
#include "engine/DirectionAngles.h"
#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"
#include "fft/FFTReal.h"
#include "tests/lv2/Lv2WorkerHost.h"
#ifdef VORPANE_PLUGIN_PATH
#include "tests/support/TestHost.h"
#endif

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using lv2test::Lv2WorkerHost;
using lv2test::Stereo;

namespace {

constexpr float kAzimuth = 0.3f, kElevation = 0.7f; // normalised, as the VST plug-in takes them

std::vector<unsigned char> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const unsigned char* bytes, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

// A folder of the test's own with a copy of the spherical head's file (lilv may act on the
// files a state points to; the tests never hand it the build's own).
class Scratch {
  public:
    Scratch()
        : dir(fs::temp_directory_path() /
              ("vorpane-hrtf-" + std::to_string(getpid()) + "-" + std::to_string(++count))) {
        fs::create_directories(dir);
        fs::copy_file(SPHERICAL_HEAD_SOFA, head());
    }
    ~Scratch() { fs::remove_all(dir); }
    fs::path head() const { return dir / "spherical-head.sofa"; }
    // A file write-test-sofa writes with one of its faults.
    fs::path variant(const std::string& name) const {
        const fs::path cdl = dir / (name + ".cdl"), sofa = dir / (name + ".sofa");
        const std::string command = std::string("'" WRITE_TEST_SOFA "' ") + name + " '" +
                                    cdl.string() + "' && '" NCGEN "' -k nc4 -o '" + sofa.string() +
                                    "' '" + cdl.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return sofa;
    }
    const fs::path dir;

  private:
    static inline int count = 0;
};

// Whole blocks: nothing waits for the next render.
Stereo testSignal() {
    return testsignal::impulseThenNoise(12 * 1024);
}

void pointAtTheTestDirection(Lv2WorkerHost& host) {
    host.setDirection(static_cast<float>(vorpane::kAzimuthDegrees.degrees(kAzimuth)),
                      static_cast<float>(vorpane::kElevationDegrees.degrees(kElevation)));
}

// Loads `path` and answers the path the plug-in then reports.
std::string load(Lv2WorkerHost& host, const std::string& path) {
    host.setHrtfFile(path);
    EXPECT_TRUE(host.runUntilReported()) << path;
    const auto reports = host.reports();
    return reports.empty() ? "(none)" : reports.back();
}

// The left ear's response from the render of testSignal(), against a table's record.
void expectLeftEarIsTheRecord(const Stereo& output, const vorpane::HrirTable& table) {
    const int32_t record =
        vorpane::recordIndex(vorpane::azimuthStep(kAzimuth), vorpane::elevationStep(kElevation));
    for (int32_t t = 0; t < vorpane::kHrirLength; ++t)
        ASSERT_NEAR(output.left[static_cast<size_t>(vorpane::kSignalDelay + t)],
                    table.tap(vorpane::Ear::left, record, t) / 32768.0, 1e-6)
            << t;
}

// Energy above 1.2 kHz against the energy below, in dB, over 4096 frames from start under a
// 4-term Blackman-Harris window (side lobes below -92 dB).
double levelAbove1200Hz(const std::vector<float>& signal, size_t start) {
    constexpr int32_t kWindow = 4096;
    FFTReal<double> fft(kWindow);
    std::vector<double> x(kWindow), f(kWindow);
    for (int32_t i = 0; i < kWindow; ++i) {
        const double phase = 2 * std::numbers::pi * i / kWindow;
        x[i] = signal[start + i] * (0.35875 - 0.48829 * std::cos(phase) +
                                    0.14128 * std::cos(2 * phase) - 0.01168 * std::cos(3 * phase));
    }
    fft.forward_transform(f.data(), x.data());
    double inside = 0, outside = 0;
    for (int32_t k = 0; k <= kWindow / 2; ++k) {
        const double im = (k == 0 || k == kWindow / 2) ? 0.0 : f[kWindow / 2 + k];
        (k * 44100.0 / kWindow <= 1200.0 ? inside : outside) += f[k] * f[k] + im * im;
    }
    return 10 * std::log10(outside / inside);
}

#ifdef VORPANE_PLUGIN_PATH
// The VST plug-in built around the table made from the same file renders testSignal() at `rate`
// sample for sample as `loaded`.
bool rendersAsThePluginBuiltAroundIt(const Stereo& loaded, float rate) {
    testhost::TestHost vst;
    if (!vst.load()) return false;
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    vst.dispatch(effMainsChanged, 0, 1);
    vst.setParameter(0, kAzimuth);
    vst.setParameter(1, kElevation);
    const Stereo input = testSignal();
    Stereo built = testsignal::silence(input.left.size());
    for (size_t at = 0; at < input.left.size(); at += 512) {
        float* in[] = {const_cast<float*>(input.left.data()) + at,
                       const_cast<float*>(input.right.data()) + at};
        float* out[] = {built.left.data() + at, built.right.data() + at};
        vst.process(in, out, static_cast<int32_t>(std::min<size_t>(512, input.left.size() - at)));
    }
    return loaded.left == built.left && loaded.right == built.right;
}
#endif

} // namespace

#ifdef VORPANE_PLUGIN_PATH
// At another host rate the loaded set is resampled as the built-in one is: a host at 96 kHz hears
// from it what the plug-in built around the same file gives at 96 kHz.
TEST(HrtfFile, ASetLoadedAtRunTimeIsResampledToTheHostRate) {
    const Scratch scratch;
    Lv2WorkerHost host(96000.0);
    ASSERT_TRUE(host.loaded());
    pointAtTheTestDirection(host);
    EXPECT_EQ(load(host, scratch.head().string()), scratch.head().string());
    EXPECT_TRUE(rendersAsThePluginBuiltAroundIt(host.render(testSignal()), 96000.0f));
}
#endif

TEST(HrtfFile, ASetLoadedAtRunTimeRendersWhatAPluginBuiltAroundItRenders) {
    const Scratch scratch;
    Lv2WorkerHost host;
    ASSERT_TRUE(host.loaded());
    pointAtTheTestDirection(host);
    host.run(nullptr, nullptr, nullptr, nullptr, 1024);
    ASSERT_EQ(host.reports(), std::vector<std::string>{""}); // the built-in table, unasked
    const Stereo builtIn = host.render(testSignal());

    EXPECT_EQ(load(host, scratch.head().string()), scratch.head().string());
    const Stereo loaded = host.render(testSignal());
    const std::vector<unsigned char> headTable = readFile(SPHERICAL_HEAD_TABLE);
    ASSERT_EQ(headTable.size(), vorpane::kHrirTableBytes);
    expectLeftEarIsTheRecord(loaded, vorpane::HrirTable(headTable.data()));
#ifdef VORPANE_PLUGIN_PATH
    EXPECT_TRUE(rendersAsThePluginBuiltAroundIt(loaded, 44100.0f));
#endif

    // Asked, it reports the file; an empty path brings the built-in table back.
    host.askForHrtfFile();
    host.run(nullptr, nullptr, nullptr, nullptr, 1024);
    EXPECT_EQ(host.reports().back(), scratch.head().string());
    EXPECT_EQ(load(host, ""), "");
    const Stereo again = host.render(testSignal());
    EXPECT_TRUE(again.left == builtIn.left && again.right == builtIn.right);
    expectLeftEarIsTheRecord(again, vorpane::embeddedHrirTable());
    EXPECT_TRUE(host.logLines().empty());
}

TEST(HrtfFile, AFileThatCannotBeUsedIsRefusedInOneLogLineAndChangesNothing) {
    const Scratch scratch;
    Lv2WorkerHost host;
    ASSERT_TRUE(host.loaded());
    pointAtTheTestDirection(host);
    const std::string good = scratch.head().string();
    ASSERT_EQ(load(host, good), good);
    const Stereo before = host.render(testSignal());

    const std::vector<unsigned char> bytes = readFile(scratch.head());
    writeFile(scratch.dir / "truncated.sofa", bytes.data(), bytes.size() / 2);
    std::ofstream(scratch.dir / "text.sofa") << "not a SOFA file\n";
    // One byte changed in the HDF5 metadata, and libmysofa 1.3.1 reads this copy for ever.
    std::vector<unsigned char> endless = bytes;
    endless.at(12135) = 0x0d;
    writeFile(scratch.dir / "endless.sofa", endless.data(), endless.size());
    const struct {
        fs::path file;
        const char* reason; // the words the build uses
    } cases[] = {
        {scratch.dir / "missing.sofa", "no such file"},
        {scratch.dir / "text.sofa", "not a SOFA file"},
        {scratch.variant("convention"), "not SimpleFreeFieldHRIR"},
        {scratch.variant("one-receiver"), "1 receiver"},
        {scratch.variant("no-horizontal"), "horizontal plane"},
        {scratch.dir / "truncated.sofa", "truncated"},
        {scratch.variant("nan"), "not a number"},
        {scratch.variant("loud"), "dB above full scale"},
        {scratch.dir / "endless.sofa", "did not finish within 5 s of processor time"},
    };
    for (const auto& c : cases) {
        const size_t logged = host.logLines().size();
        EXPECT_EQ(load(host, c.file.string()), good) << c.file;
        const auto lines = host.logLines();
        ASSERT_EQ(lines.size(), logged + 1) << c.file;
        const std::string& line = lines.back();
        EXPECT_EQ(line.rfind("Vorpane: HRTF file refused: " + c.file.string() + ": ", 0), 0u)
            << line;
        EXPECT_NE(line.find(c.reason), std::string::npos) << line;
        EXPECT_NE(line.find("(keeping " + good + ")"), std::string::npos) << line;
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        const Stereo after = host.render(testSignal());
        EXPECT_TRUE(after.left == before.left && after.right == before.right) << c.file;
    }
}

TEST(HrtfFile, TheSessionKeepsTheFileAndAFileGoneOnRestoreFallsBackWithALogLine) {
    const Scratch scratch;
    const fs::path session = scratch.dir / "session";
    Stereo saved;
    {
        Lv2WorkerHost host;
        ASSERT_TRUE(host.loaded());
        pointAtTheTestDirection(host);
        ASSERT_EQ(load(host, scratch.head().string()), scratch.head().string());
        saved = host.render(testSignal());
        host.saveState(session.string());
    }
    for (bool throughWorker : {false, true}) {
        Lv2WorkerHost host;
        pointAtTheTestDirection(host);
        host.run(nullptr, nullptr, nullptr, nullptr, 1024); // reports the built-in table
        host.restoreState(session.string(), throughWorker);
        ASSERT_TRUE(host.runUntilReported()) << throughWorker;
        EXPECT_TRUE(fs::equivalent(host.reports().back(), scratch.head())) << host.reports().back();
        const Stereo restored = host.render(testSignal());
        EXPECT_TRUE(restored.left == saved.left && restored.right == saved.right) << throughWorker;
        EXPECT_TRUE(host.logLines().empty()) << throughWorker;
    }

    fs::remove(scratch.head());
    for (bool throughWorker : {false, true}) {
        Lv2WorkerHost host;
        pointAtTheTestDirection(host);
        const Stereo builtIn = host.render(testSignal());
        host.restoreState(session.string(), throughWorker);
        ASSERT_TRUE(host.runUntilReported());
        EXPECT_EQ(host.reports().back(), "");
        const auto lines = host.logLines();
        ASSERT_EQ(lines.size(), 1u) << throughWorker;
        EXPECT_EQ(lines[0].rfind("Vorpane: the session's HRTF file ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find("spherical-head.sofa is missing; using the built-in table"),
                  std::string::npos)
            << lines[0];
        const Stereo restored = host.render(testSignal());
        EXPECT_TRUE(restored.left == builtIn.left && restored.right == builtIn.right);
    }
}

// A 300 Hz sine plays on while the set changes: the block that takes up the new table fades to
// it as to a new direction, and adds nothing above the sine's band.
TEST(HrtfFile, TheSwitchToAnotherSetFadesWithoutAClick) {
    const Scratch scratch;
    Lv2WorkerHost host;
    ASSERT_TRUE(host.loaded());
    pointAtTheTestDirection(host);
    constexpr size_t kBlock = 1024, kBlocks = 120;
    std::vector<float> in(kBlock * kBlocks), left(in.size()), right(in.size());
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 300.0 * i / 44100.0));
    std::vector<size_t> changeBlocks; // the blocks rendered first with a new table
    size_t reports = 0;
    for (size_t b = 0; b < kBlocks; ++b) {
        if (b == 20) host.setHrtfFile(scratch.head().string());
        if (b == 70) host.setHrtfFile("");
        host.run(in.data() + b * kBlock, in.data() + b * kBlock, left.data() + b * kBlock,
                 right.data() + b * kBlock, kBlock);
        if (host.reports().size() > reports && b > 0) changeBlocks.push_back(b + 1);
        reports = host.reports().size();
        while (host.workPending())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(changeBlocks.size(), 2u);
    for (size_t block : changeBlocks) {
        ASSERT_LT(block, kBlocks - 6);
        const size_t start = vorpane::kSignalDelay + kBlock * block + 1279 / 2 - 2048;
        EXPECT_LT(levelAbove1200Hz(left, start), -60.0) << block;
        EXPECT_LT(levelAbove1200Hz(right, start), -60.0) << block;
    }
    // The floor of the measurement: the same span with the set in use throughout.
    EXPECT_LT(levelAbove1200Hz(left, vorpane::kSignalDelay + kBlock * 45), -90.0);
}
