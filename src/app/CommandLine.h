#pragma once

#include <optional>

namespace tavlin {

// What Tavlin answers on its command line, before anything else starts: --help and --version
// print to standard output; anything else given is refused on standard error.
struct CommandLine {
    // The exit status when the command line was answered (0 for --help and --version, 2 for an
    // unknown option or argument); nothing for a plain launch, which starts Tavlin.
    static std::optional<int> answer(int& argc, char** argv);
};

} // namespace tavlin
