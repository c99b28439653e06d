// The command-line scanner the tools share, driven by one table of the options a tool knows.
//
// Options are written "--name VALUE" or "--name=VALUE" (split at the first '='), flags "--name"
// or their short form ("-q"); a value may not be empty. Arguments that do not start with '-', a
// lone "-" and everything after "--" are operands. The scanner only checks the form; each tool
// checks the values it is given.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace tools {

struct OptionSpec {
    const char* name;      // "--plugin"
    const char* shortName; // "-q", or nullptr
    bool takesValue;
};

struct ScannedArgument {
    bool isOperand = false;
    std::string name;  // the option's long name; empty for an operand
    std::string value; // the option's value, or the operand
};

class OptionScanner {
  public:
    OptionScanner(int argc, const char* const* argv, std::initializer_list<OptionSpec> options);

    // The next argument in the order given. Answers false at the end, or with a message in
    // error when the argument is an unknown option or lacks its value.
    bool next(ScannedArgument& argument, std::string& error);

  private:
    int argc;
    const char* const* argv;
    int position = 1;
    bool operandsOnly = false; // after "--"
    std::vector<OptionSpec> options;
};

} // namespace tools
