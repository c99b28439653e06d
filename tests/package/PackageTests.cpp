// The Debian package as a user gets it: its control fields, its files, and the plug-in and tool
// it carries working from where they are unpacked.
#include "plugin/VstInterface.h"
#include "tests/support/Command.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using testsupport::runCommand;

std::string field(const char* name) {
    int status = 0;
    std::string value =
        runCommand(std::string("dpkg-deb -f ") + VORPANE_DEB_PATH + " " + name, status);
    EXPECT_EQ(status, 0) << name;
    while (!value.empty() && value.back() == '\n')
        value.pop_back();
    return value;
}

class Package : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root = fs::temp_directory_path() / ("vorpane-package-test-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        int status = 0;
        runCommand(std::string("dpkg-deb -x ") + VORPANE_DEB_PATH + " " + root.string(), status);
        unpacked = status == 0;
    }
    static void TearDownTestSuite() { fs::remove_all(root); }
    void SetUp() override { ASSERT_TRUE(unpacked) << "cannot unpack " << VORPANE_DEB_PATH; }

    static fs::path root;
    static bool unpacked;
};

fs::path Package::root;
bool Package::unpacked = false;

} // namespace

TEST_F(Package, ControlFields) {
    EXPECT_EQ(field("Package"), "vorpane");
    EXPECT_EQ(field("Version"), VORPANE_VERSION);
    EXPECT_EQ(field("Architecture"), "amd64");
    EXPECT_EQ(field("Section"), "sound");
    EXPECT_NE(field("Maintainer").find('<'), std::string::npos);
    const std::string description = field("Description");
    EXPECT_NE(description.find("binaural panner"), std::string::npos);
    // Names every tool the package installs.
    std::vector<std::string> tools = {"vorpane-render"};
    if (VORPANE_HOST_PACKAGED) tools.push_back("vorpane-host");
    for (const std::string& tool : tools)
        EXPECT_NE(description.find(tool), std::string::npos) << tool << " in " << description;
    // Computed from the binaries, with the versions their symbols need.
    const std::string depends = field("Depends");
    for (const char* package : {"libc6 (>=", "libcairo2 (>=", "libsndfile1 (>=", "libmysofa1 (>="})
        EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;
}

TEST_F(Package, InstallsThePluginWhereHostsLookAndTheToolsAndDocuments) {
    std::set<std::string> expected = {
        "usr/lib/vst/Vorpane.so",
        "usr/bin/vorpane-render",
        "usr/lib/lv2/vorpane.lv2/manifest.ttl",
        "usr/lib/lv2/vorpane.lv2/vorpane.ttl",
        "usr/lib/lv2/vorpane.lv2/vorpane_dsp.so",
        "usr/lib/lv2/vorpane.lv2/vorpane_ui.so",
        "usr/lib/lv2/vorpane.lv2/vorpane-sofa-reader",
        "usr/share/doc/vorpane/LICENSE",
        "usr/share/doc/vorpane/README.md",
        "usr/share/doc/vorpane/copyright",
    };
    if (VORPANE_HOST_PACKAGED) expected.insert("usr/bin/vorpane-host");
    for (const auto& entry : fs::directory_iterator(fs::path(VORPANE_SOURCE_DIR) / "docs"))
        if (entry.path().extension() == ".png")
            expected.insert("usr/share/doc/vorpane/docs/" + entry.path().filename().string());

    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (!entry.is_directory()) files.insert(fs::relative(entry.path(), root).string());
    EXPECT_EQ(files, expected);

    struct stat info {};
    ASSERT_EQ(stat((root / "usr/lib/vst/Vorpane.so").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(stat((root / "usr/bin/vorpane-render").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
    ASSERT_EQ(stat((root / "usr/lib/lv2/vorpane.lv2/vorpane_dsp.so").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(stat((root / "usr/lib/lv2/vorpane.lv2/vorpane-sofa-reader").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
}

TEST_F(Package, UnpackedLv2BundleIsFoundByLv2Hosts) {
    int status = 0;
    const std::string info =
        runCommand("LV2_PATH='" + (root / "usr/lib/lv2").string() +
                       "' lv2info https://vorpane.farrowdale.audio/lv2/vorpane 2>/dev/null",
                   status);
    EXPECT_EQ(status, 0) << info;
    EXPECT_NE(info.find((root / "usr/lib/lv2/vorpane.lv2/vorpane_dsp.so").string()),
              std::string::npos)
        << info;
}

TEST_F(Package, UnpackedPluginLoadsThroughItsEntryPoint) {
    const fs::path plugin = root / "usr/lib/vst/Vorpane.so";
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    AEffect* effect = entry(&loader::silentHostCallback);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, fourCharCode('A', 'V', 'p', 'n'));
    char name[64] = {};
    effect->dispatcher(effect, effGetEffectName, 0, 0, name, 0.0f);
    EXPECT_STREQ(name, "Vorpane");
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    // Kept loaded, as a host keeps a plug-in library: unloading would also unload pixman (through
    // cairo), whose start-up allocations the leak checker of sanitizer builds then reports.
}

TEST_F(Package, UnpackedRenderToolUsesTheUnpackedPlugin) {
    const fs::path input = root / "in.wav", output = root / "out.wav";
    SF_INFO format{};
    format.samplerate = 48000;
    format.channels = 1;
    format.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(input.c_str(), SFM_WRITE, &format);
    ASSERT_NE(file, nullptr);
    std::vector<float> samples(4800, 0.25f);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);

    int status = 0;
    const std::string out = runCommand((root / "usr/bin/vorpane-render").string() + " " +
                                           input.string() + " " + output.string() + " 2>&1",
                                       status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find((root / "usr/lib/vst/Vorpane.so").string()), std::string::npos) << out;
    EXPECT_TRUE(fs::exists(output));
}

// A system-wide install over an older one, while a host has the older plug-in mapped: the host's
// mapping keeps its bytes, and the new plug-in is a new file beside it.
TEST(Install, ReinstallingReplacesThePluginAHostHasMapped) {
    const fs::path stage =
        fs::temp_directory_path() / ("vorpane-install-test-" + std::to_string(getpid()));
    fs::remove_all(stage);
    const std::string install = std::string("DESTDIR=") + stage.string() + " " +
                                CMAKE_COMMAND_PATH + " --install " + VORPANE_BUILD_DIR +
                                " --prefix /usr/local >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    const fs::path plugin = stage / "usr/local/lib/vst/Vorpane.so";
    const int fd = open(plugin.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    struct stat before {};
    fstat(fd, &before);
    void* mapped = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE, fd, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    std::vector<char> head(static_cast<char*>(mapped), static_cast<char*>(mapped) + 4096);

    ASSERT_EQ(std::system(install.c_str()), 0);
    struct stat after {};
    ASSERT_EQ(stat(plugin.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(std::memcmp(mapped, head.data(), head.size()), 0);
    EXPECT_EQ(after.st_mode & 0777, 0644u);
    EXPECT_TRUE(fs::exists(stage / "usr/local/bin/vorpane-render"));
    for (const char* file :
         {"manifest.ttl", "vorpane.ttl", "vorpane_dsp.so", "vorpane_ui.so", "vorpane-sofa-reader"})
        EXPECT_TRUE(fs::exists(stage / "usr/local/lib/lv2/vorpane.lv2" / file)) << file;
    // The plug-ins for the current user are installed only when asked for.
    EXPECT_FALSE(fs::exists(stage / fs::path(VORPANE_USER_VST_DIR).relative_path()));
    munmap(mapped, 4096);
    close(fd);
    fs::remove_all(stage);
}

// `make install` without PREFIX: the two plug-ins for the current user, nothing else.
TEST(Install, ForTheUserPutsOnlyThePluginsInTheirFolders) {
    const fs::path stage =
        fs::temp_directory_path() / ("vorpane-user-install-test-" + std::to_string(getpid()));
    fs::remove_all(stage);
    const std::string install = std::string("DESTDIR=") + stage.string() + " " +
                                CMAKE_COMMAND_PATH + " --install " + VORPANE_BUILD_DIR +
                                " --component user >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    const fs::path vst = stage / fs::path(VORPANE_USER_VST_DIR).relative_path();
    const fs::path bundle = stage / fs::path(VORPANE_USER_LV2_DIR).relative_path() / "vorpane.lv2";
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(stage))
        if (!entry.is_directory()) files.insert(entry.path().string());
    EXPECT_EQ(files,
              (std::set<std::string>{
                  (vst / "Vorpane.so").string(), (bundle / "manifest.ttl").string(),
                  (bundle / "vorpane.ttl").string(), (bundle / "vorpane_dsp.so").string(),
                  (bundle / "vorpane_ui.so").string(), (bundle / "vorpane-sofa-reader").string()}));
    fs::remove_all(stage);
}
