// vorpane-render as scripts use it: exit codes, messages, files.
#include <cairo.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Audio {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples; // interleaved
    size_t frames() const { return channels ? samples.size() / channels : 0; }
    float at(size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

void writeWav(const fs::path& path, const Audio& audio) {
    SF_INFO info{};
    info.samplerate = audio.rate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, audio.samples.data(), static_cast<sf_count_t>(audio.frames()));
    sf_close(file);
}

Audio readWav(const fs::path& path) {
    SF_INFO info{};
    Audio audio;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return audio;
    audio.channels = info.channels;
    audio.rate = info.samplerate;
    audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

Audio ramp(int channels, size_t frames) {
    Audio audio{channels, 48000, {}};
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            audio.samples.push_back(static_cast<float>((i % 997) / 997.0 - 0.5) * (c ? -1 : 1));
    return audio;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class RenderTool : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vorpane-render-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with these arguments; answers its exit code and keeps its output.
    int run(const std::string& arguments) { return runProgram(VORPANE_RENDER_PATH, arguments); }
    int runProgram(const std::string& program, const std::string& arguments) {
        const std::string command = program + " " + arguments + " >" + (dir / "stdout").string() +
                                    " 2>" + (dir / "stderr").string();
        const int status = std::system(command.c_str());
        out = fileText(dir / "stdout");
        err = fileText(dir / "stderr");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    std::string fake() const { return std::string("--plugin ") + FAKE_PLUGIN_PATH + " "; }

    fs::path dir;
    std::string out, err;
};

} // namespace

TEST_F(RenderTool, HelpDescribesTheOptions) {
    EXPECT_EQ(run("--help"), 0);
    for (const char* word : {"INPUT OUTPUT", "--plugin", "--block", "--azimuth", "--elevation",
                             "--sweep", "exit codes"})
        EXPECT_NE(out.find(word), std::string::npos) << word;
}

TEST_F(RenderTool, WrongUsageExitsWith2AndSaysWhy) {
    writeWav(dir / "in.wav", ramp(2, 100));
    std::string files = " ";
    files.append(path("in.wav")).append(" ").append(path("out.wav"));
    struct Case {
        std::string arguments, message;
    };
    for (const Case& c : std::vector<Case>{
             {"--frobnicate" + files, "unknown option '--frobnicate'"},
             {path("in.wav"), "INPUT and OUTPUT"},
             {files + " extra", "too many arguments"},
             {"--azimuth 1.5" + files, "--azimuth must be a number from 0 to 1"},
             {"--elevation=-0.1" + files, "--elevation must be"},
             {"--azimuth nan" + files, "--azimuth must be"},
             {"--azimuth abc" + files, "--azimuth must be"},
             {"--block 0" + files, "--block must be"},
             {"--block 70000" + files, "--block must be"},
             {"--block 12x" + files, "--block must be"},
             {"--sweep azimuth=0:2" + files, "FROM and TO"},
             {"--sweep height=0:1" + files, "unknown parameter 'height'"},
             {"--sweep azimuth" + files, "NAME=FROM:TO"},
             {"--azimuth 0.2 --sweep azimuth=0:1" + files, "cannot be combined"},
             {files + " --block", "needs a value"},
             {"--plugin=" + files, "--plugin needs a value"},
             {"--quiet=yes" + files, "--quiet takes no value"},
         }) {
        EXPECT_EQ(run(c.arguments), 2) << c.arguments;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.arguments << ": " << err;
        EXPECT_FALSE(fs::exists(dir / "out.wav")) << c.arguments;
    }
}

TEST_F(RenderTool, UnusableInputExitsWith3) {
    EXPECT_EQ(run(path("missing.wav") + " " + path("out.wav")), 3);
    EXPECT_NE(err.find("does not exist"), std::string::npos) << err;

    std::ofstream(dir / "text.wav") << "not audio at all";
    EXPECT_EQ(run(path("text.wav") + " " + path("out.wav")), 3);
    EXPECT_NE(err.find("cannot read"), std::string::npos) << err;

    writeWav(dir / "three.wav", ramp(3, 100));
    EXPECT_EQ(run(path("three.wav") + " " + path("out.wav")), 3);
    EXPECT_NE(err.find("3 channels"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "out.wav"));
}

TEST_F(RenderTool, PluginAndOutputFailures) {
    writeWav(dir / "in.wav", ramp(1, 100));
    EXPECT_EQ(run("--plugin " + path("none.so") + " " + path("in.wav") + " " + path("out.wav")), 4);
    EXPECT_NE(err.find("cannot load plug-in"), std::string::npos) << err;

    EXPECT_EQ(run(fake() + path("in.wav") + " " + path("no/such/dir/out.wav")), 5);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;

    const std::string before = fileText(dir / "in.wav");
    EXPECT_EQ(run(fake() + path("in.wav") + " " + path("in.wav")), 2);
    EXPECT_EQ(fileText(dir / "in.wav"), before);
}

TEST_F(RenderTool, LatencyIsRemovedAndTheInputIsUntouched) {
    const Audio input = ramp(2, 5000);
    writeWav(dir / "in.wav", input);
    const std::string before = fileText(dir / "in.wav");
    for (int block : {1, 7, 512, 4096}) {
        ASSERT_EQ(run(fake() + "--block " + std::to_string(block) + " " + path("in.wav") + " " +
                      path("out.wav")),
                  0)
            << err;
        const Audio output = readWav(dir / "out.wav");
        ASSERT_EQ(output.channels, 2);
        EXPECT_EQ(output.rate, 48000);
        ASSERT_EQ(output.frames(), input.frames()) << block;
        EXPECT_EQ(output.samples, input.samples) << block;
    }
    EXPECT_EQ(fileText(dir / "in.wav"), before);
    EXPECT_NE(out.find("latency of 300 frames removed"), std::string::npos) << out;
}

TEST_F(RenderTool, MonoInputFeedsBothChannels) {
    const Audio input = ramp(1, 3000);
    writeWav(dir / "mono.wav", input);
    ASSERT_EQ(run(fake() + path("mono.wav") + " " + path("out.wav")), 0) << err;
    const Audio output = readWav(dir / "out.wav");
    ASSERT_EQ(output.channels, 2);
    ASSERT_EQ(output.frames(), 3000u);
    for (size_t i = 0; i < output.frames(); ++i) {
        ASSERT_EQ(output.at(i, 0), input.samples[i]) << i;
        ASSERT_EQ(output.at(i, 1), input.samples[i]) << i;
    }
    EXPECT_NE(out.find("mono"), std::string::npos);
    EXPECT_NE(out.find("peak left"), std::string::npos);
    EXPECT_NE(out.find("peak right"), std::string::npos);
}

TEST_F(RenderTool, SweepsMoveTheParametersBetweenBlocks) {
    Audio input{1, 48000, std::vector<float>(48000, 0.5f)};
    writeWav(dir / "in.wav", input);
    ASSERT_EQ(run(fake() + "--block 480 --sweep azimuth=0:1 --elevation 0.25 " + path("in.wav") +
                  " " + path("out.wav")),
              0)
        << err;
    const Audio output = readWav(dir / "out.wav");
    ASSERT_EQ(output.frames(), 48000u);
    // The fake scales left by 2 x azimuth at its input: 0.5 x 2 x azimuth = azimuth.
    EXPECT_NEAR(output.at(0, 0), 0.0f, 1e-6);
    EXPECT_NEAR(output.at(47999, 0), 1.0f, 0.02);
    EXPECT_NEAR(output.at(24000, 0), 0.5f, 0.02);
    for (size_t i = 1; i < output.frames(); ++i)
        ASSERT_GE(output.at(i, 0), output.at(i - 1, 0));
    for (size_t i = 0; i < output.frames(); ++i)
        ASSERT_EQ(output.at(i, 1), 0.25f) << i;
}

TEST_F(RenderTool, DefaultPluginIsTheOneOfThisBuild) {
    writeWav(dir / "in.wav", ramp(2, 4000));
    ASSERT_EQ(run("--azimuth 0 " + path("in.wav") + " " + path("out.wav")), 0) << err;
    EXPECT_NE(out.find("through Vorpane"), std::string::npos) << out;
    EXPECT_NE(out.find("Vorpane.so"), std::string::npos) << out;
    EXPECT_EQ(readWav(dir / "out.wav").frames(), 4000u);
}

TEST_F(RenderTool, NoProgressLineWhenStandardErrorIsNotATerminal) {
    writeWav(dir / "in.wav", ramp(2, 96000));
    ASSERT_EQ(run(path("in.wav") + " " + path("out.wav")), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_NE(out.find("peak left"), std::string::npos) << out;
}

TEST_F(RenderTool, QuietPrintsNothingButErrors) {
    writeWav(dir / "in.wav", ramp(2, 48000));
    for (const char* quiet : {"--quiet ", "-q "}) {
        ASSERT_EQ(run(quiet + path("in.wav") + " " + path("out.wav")), 0) << err;
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, "");
        EXPECT_EQ(readWav(dir / "out.wav").frames(), 48000u);
    }
    EXPECT_EQ(run("--quiet " + path("missing.wav") + " " + path("out2.wav")), 3);
    EXPECT_NE(err.find("does not exist"), std::string::npos) << err;
}

// On a terminal the progress line shows the percentage and is cleared at the end, so the
// terminal is left as it was.
TEST_F(RenderTool, ProgressLineOnATerminal) {
    writeWav(dir / "in.wav", ramp(2, 96000));
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(slave, STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(master);
        execl(VORPANE_RENDER_PATH, VORPANE_RENDER_PATH, path("in.wav").c_str(),
              path("out.wav").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(slave);
    std::string terminal;
    char chunk[512];
    for (ssize_t n; (n = read(master, chunk, sizeof(chunk))) > 0;)
        terminal.append(chunk, static_cast<size_t>(n));
    close(master);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(terminal.find("\r\033[Krendering   0%"), std::string::npos) << terminal;
    const std::string cleared = "\r\033[K";
    ASSERT_GE(terminal.size(), cleared.size());
    EXPECT_EQ(terminal.substr(terminal.size() - cleared.size()), cleared) << terminal;
}

using InfoTool = RenderTool;

TEST_F(InfoTool, ShowsThePluginsTextsAsTheyAreInUtf8) {
    // The tool unloads the plug-in, and with it pixman (through cairo), which never frees its
    // start-up allocations; leak checking of sanitizer builds is off for it.
    ASSERT_EQ(runProgram("ASAN_OPTIONS=detect_leaks=0 " VORPANE_INFO_PATH, VORPANE_PLUGIN_PATH), 0)
        << err;
    EXPECT_NE(out.find("Azimuth = 12 (Hor \xC2\xB0)"), std::string::npos) << out;
    EXPECT_NE(out.find("Elevation = 24 (Vert \xC2\xB0)"), std::string::npos) << out;
}

using DemoInputTool = RenderTool;

TEST_F(DemoInputTool, WrongUsageExitsWith2AndWritesNothing) {
    for (const std::string& arguments : {std::string(), path("a.wav") + " 8 extra",
                                         path("a.wav") + " 0.1", path("a.wav") + " 8s"}) {
        EXPECT_EQ(runProgram(MAKE_DEMO_INPUT_PATH, arguments), 2) << arguments;
        EXPECT_TRUE(out.empty()) << arguments;
        EXPECT_FALSE(err.empty()) << arguments;
        EXPECT_FALSE(fs::exists(dir / "a.wav")) << arguments;
    }
    EXPECT_EQ(runProgram(MAKE_DEMO_INPUT_PATH, "--help"), 0);
    EXPECT_NE(out.find("usage"), std::string::npos);
    EXPECT_EQ(runProgram(MAKE_DEMO_INPUT_PATH, path("a.wav") + " 0.5"), 0);
    EXPECT_TRUE(fs::exists(dir / "a.wav"));
}

using PlotsTool = RenderTool;

// The README's pictures are what make-plots draws from the built-in table.
TEST_F(PlotsTool, CommittedPlotsMatchWhatTheToolDraws) {
    // Leak checking of sanitizer builds is off for the tool: fontconfig loses a few bytes.
    ASSERT_EQ(runProgram("ASAN_OPTIONS=detect_leaks=0 " MAKE_PLOTS_PATH, dir.string()), 0) << err;
    for (const char* name : {"directions.png", "response.png"}) {
        cairo_surface_t* made = cairo_image_surface_create_from_png((dir / name).c_str());
        cairo_surface_t* committed =
            cairo_image_surface_create_from_png((fs::path(VORPANE_DOCS_DIR) / name).c_str());
        ASSERT_EQ(cairo_surface_status(made), CAIRO_STATUS_SUCCESS) << name;
        ASSERT_EQ(cairo_surface_status(committed), CAIRO_STATUS_SUCCESS) << name;
        const int height = cairo_image_surface_get_height(made);
        ASSERT_EQ(cairo_image_surface_get_width(made), cairo_image_surface_get_width(committed));
        ASSERT_EQ(height, cairo_image_surface_get_height(committed));
        EXPECT_EQ(0,
                  std::memcmp(cairo_image_surface_get_data(made),
                              cairo_image_surface_get_data(committed),
                              static_cast<size_t>(height) * cairo_image_surface_get_stride(made)))
            << name << " differs from the committed picture: run make plots";
        cairo_surface_destroy(made);
        cairo_surface_destroy(committed);
    }
}
