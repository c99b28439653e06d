// The table generator run on the SOFA file reproduces the committed table byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSofaFile = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TemporaryFile {
  public:
    TemporaryFile()
        : path(std::filesystem::temp_directory_path() /
               ("hrir-table-" + std::to_string(getpid()) + ".bin")) {
        std::filesystem::remove(path);
    }
    ~TemporaryFile() { std::filesystem::remove(path); }
    const std::filesystem::path path;
};

int runGenerator(const std::string& arguments) {
    std::string command = "'";
    command.append(VORPANE_MAKE_HRIR_TABLE).append("' ").append(arguments);
    command.append(" >/dev/null 2>&1");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Regeneration, ReproducesTheCommittedTable) {
    if (!std::filesystem::exists(kSofaFile)) GTEST_SKIP() << kSofaFile << " is not installed";
    const TemporaryFile output;
    std::string quoted = "'";
    quoted.append(output.path.string()).append("'");
    ASSERT_EQ(runGenerator(quoted), 0);
    const std::vector<unsigned char> made = readFile(output.path);
    const std::vector<unsigned char> committed = readFile(VORPANE_HRIR_TABLE_FILE);
    ASSERT_EQ(made.size(), committed.size());
    EXPECT_TRUE(made == committed);
}

TEST(Regeneration, FailsWithoutWritingWhenTheSofaFileIsMissing) {
    const TemporaryFile output;
    EXPECT_NE(runGenerator("--sofa /nonexistent/file.sofa '" + output.path.string() + "'"), 0);
    EXPECT_FALSE(std::filesystem::exists(output.path));
}

} // namespace
