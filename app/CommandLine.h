#pragma once

#include <optional>
#include <string_view>

namespace brisvale::cli {

// Answers --help and --version (also -h) the same way in every program of
// the project: the text on standard output and exit status 0, or 1 with a
// message when standard output cannot be written. Gives nothing back when
// neither was asked, and the program goes on.
std::optional<int> answerStandardOptions(int argc, char **argv, std::string_view help, std::string_view version);

// Whether the command line holds the option `name` (for example "--self-test").
bool hasOption(int argc, char **argv, std::string_view name);

} // namespace brisvale::cli
