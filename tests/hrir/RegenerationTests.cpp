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

// Runs the generator; what it prints goes to `printed` when given.
int runGenerator(const std::string& arguments, std::string* printed = nullptr) {
    const std::string text = std::filesystem::temp_directory_path() /
                             ("hrir-table-" + std::to_string(getpid()) + ".txt");
    std::string command = "'";
    command.append(VORPANE_MAKE_HRIR_TABLE).append("' ").append(arguments);
    command.append(" >'").append(text).append("' 2>&1");
    const int status = std::system(command.c_str());
    const std::vector<unsigned char> bytes = readFile(text);
    std::filesystem::remove(text);
    if (printed) printed->assign(bytes.begin(), bytes.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Regeneration, ReproducesTheCommittedTable) {
    if (!std::filesystem::exists(kSofaFile)) GTEST_SKIP() << kSofaFile << " is not installed";
    const TemporaryFile output;
    std::string quoted = "'";
    quoted.append(output.path.string()).append("'");
    std::string printed;
    ASSERT_EQ(runGenerator(quoted, &printed), 0);
    const std::vector<unsigned char> made = readFile(output.path);
    const std::vector<unsigned char> committed = readFile(VORPANE_HRIR_TABLE_FILE);
    ASSERT_EQ(made.size(), committed.size());
    EXPECT_TRUE(made == committed);

    // Restoring the low end leaves the responses above 1.5 kHz as they were measured.
    const std::string figure = "shape above 1.5 kHz against the unextended responses: ";
    const size_t at = printed.find(figure);
    ASSERT_NE(at, std::string::npos) << printed;
    EXPECT_LE(std::stod(printed.substr(at + figure.size())), 1.0) << printed;
}

TEST(Regeneration, FailsWithoutWritingWhenTheSofaFileIsMissing) {
    const TemporaryFile output;
    EXPECT_NE(runGenerator("--sofa /nonexistent/file.sofa '" + output.path.string() + "'"), 0);
    EXPECT_FALSE(std::filesystem::exists(output.path));
}

} // namespace
