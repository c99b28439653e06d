// Running a command line as a user would, for tests of programs and files.
#pragma once

#include <string>

namespace testsupport {

// Runs command through the shell; answers its standard output and sets status to its exit code
// (-1 when it could not run or did not exit).
std::string runCommand(const std::string& command, int& status);

} // namespace testsupport
