#include "tools/shared/OptionScanner.h"

namespace tools {

OptionScanner::OptionScanner(int argc, const char* const* argv,
                             std::initializer_list<OptionSpec> options)
    : argc(argc), argv(argv), options(options) {}

bool OptionScanner::next(ScannedArgument& argument, std::string& error) {
    error.clear();
    argument = ScannedArgument{};
    if (position < argc && !operandsOnly && std::string(argv[position]) == "--") {
        operandsOnly = true;
        ++position;
    }
    if (position >= argc) return false;
    const std::string text = argv[position++];
    if (operandsOnly || text.size() < 2 || text[0] != '-') {
        argument.isOperand = true;
        argument.value = text;
        return true;
    }
    std::string name = text;
    bool hasValue = false;
    if (const size_t equals = text.find('=');
        text.rfind("--", 0) == 0 && equals != std::string::npos) {
        name = text.substr(0, equals);
        argument.value = text.substr(equals + 1);
        hasValue = true;
    }
    const OptionSpec* known = nullptr;
    for (const OptionSpec& option : options)
        if (name == option.name || (option.shortName && name == option.shortName)) known = &option;
    if (!known) {
        error = "unknown option '" + name + "'";
        return false;
    }
    argument.name = known->name;
    if (!known->takesValue) {
        if (!hasValue) return true;
        error = "option " + argument.name + " takes no value";
        return false;
    }
    if (!hasValue) {
        if (position < argc) {
            argument.value = argv[position++];
            hasValue = true;
        }
    }
    if (argument.value.empty()) {
        error = "option " + argument.name + " needs a value";
        return false;
    }
    return true;
}

} // namespace tools
