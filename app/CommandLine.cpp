#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace brisvale::cli {

namespace {

std::string_view programName(char **argv)
{
    std::string_view name = argv && argv[0] ? argv[0] : "brisvale";
    const size_t slash = name.find_last_of('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

int print(std::string_view text, std::string_view program)
{
    // A full disk or a closed pipe must not pass for success.
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    const int error = errno;
    std::fprintf(stderr, "%.*s: cannot write to standard output%s%s\n", int(program.size()), program.data(),
                 error ? ": " : "", error ? std::strerror(error) : "");
    return 1;
}

} // namespace

std::optional<int> answerStandardOptions(int argc, char **argv, std::string_view help, std::string_view version)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return print(help, programName(argv));
        if (arg == "--version")
            return print(version, programName(argv));
    }
    return std::nullopt;
}

bool hasOption(int argc, char **argv, std::string_view name)
{
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--")
            return false;
        if (argv[i] == name)
            return true;
    }
    return false;
}

} // namespace brisvale::cli
