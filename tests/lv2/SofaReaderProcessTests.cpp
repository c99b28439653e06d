// The SOFA reader process: a set arrives exactly as the file gives it, and a reader that spins,
// sleeps, crashes or answers nonsense costs one refusal naming the file, and leaves no process.
#include "hrtf/SofaFile.h"
#include "lv2/SofaReaderProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;
using vorpane::lv2::SofaReaderLimits;
using vorpane::lv2::SofaReaderProcess;

namespace {

// What reading `path` with `reader` throws: "" when it reads a set.
std::string refusal(const SofaReaderProcess& reader, const std::string& path) {
    try {
        reader.read(path);
        return "";
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

bool noChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

} // namespace

// Also in a host that leaves its children to the system (SIGCHLD ignored), where the reader's end
// cannot be waited for.
TEST(SofaReader, ReadsTheSetExactlyAsTheFileGivesIt) {
    const SofaSet inProcess = readSofaFile(SPHERICAL_HEAD_SOFA);
    for (bool hostIgnoresChildren : {false, true}) {
        struct sigaction ignore {
        }, before{};
        ignore.sa_handler = SIG_IGN;
        if (hostIgnoresChildren) sigaction(SIGCHLD, &ignore, &before);
        const SofaSet read = SofaReaderProcess(SOFA_READER).read(SPHERICAL_HEAD_SOFA);
        if (hostIgnoresChildren) sigaction(SIGCHLD, &before, nullptr);
        EXPECT_EQ(read.path(), SPHERICAL_HEAD_SOFA);
        EXPECT_EQ(read.sampleRate(), inProcess.sampleRate());
        ASSERT_EQ(read.measurements().size(), inProcess.measurements().size());
        for (size_t m = 0; m < read.measurements().size(); ++m) {
            const MeasuredDirection &a = read.measurements()[m], &b = inProcess.measurements()[m];
            ASSERT_TRUE(a.direction == b.direction && a.delay == b.delay &&
                        a.response == b.response)
                << m;
        }
    }
    EXPECT_EQ(refusal(SofaReaderProcess(SOFA_READER), "/nonexistent.sofa"),
              "/nonexistent.sofa: no such file");
    EXPECT_TRUE(noChildLeft());
}

TEST(SofaReader, AReaderThatMisbehavesCostsOneRefusalAndLeavesNoProcess) {
    const fs::path dir = fs::temp_directory_path() / ("vorpane-reader-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const auto script = [&](const std::string& name, const std::string& body) {
        const fs::path path = dir / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    };
    const struct {
        std::string program;
        SofaReaderLimits limits;
        const char* reason;
    } cases[] = {
        {script("spins", "while :; do :; done"),
         {1, 300},
         "reading it did not finish within 1 s of processor time: the file is probably damaged"},
        {script("sleeps", "exec sleep 600"),
         {5, 1},
         "reading it did not finish within 1 s: the file is probably damaged"},
        {script("crashes", "kill -SEGV $$"),
         {},
         "reading it crashed the SOFA reader (SIGSEGV): the file is probably damaged"},
        {script("babbles", "exec yes"), {}, "the SOFA reader's answer is not one"},
        {script("fails", "exit 7"), {}, "the SOFA reader failed (exit status 7)"},
        {script("is-silent", "exit 0"), {}, "the SOFA reader ended without an answer"},
        {(dir / "missing").string(), {}, "cannot be started: No such file or directory"},
    };
    const std::string file = SPHERICAL_HEAD_SOFA;
    for (const auto& c : cases) {
        const std::string line = refusal(SofaReaderProcess(c.program, c.limits), file);
        EXPECT_EQ(line.rfind(file + ": ", 0), 0u) << line;
        EXPECT_NE(line.find(c.reason), std::string::npos) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        EXPECT_TRUE(noChildLeft()) << c.program;
    }
    fs::remove_all(dir);
}
