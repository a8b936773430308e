#pragma once

#include <optional>

namespace tb {

// Reads the command line before any window is made, so that --help and --version answer
// without a display. Returns the exit status when the program should end here: 0 after
// --help or --version, 2 for an unknown option or an argument (the program takes none).
std::optional<int> handleCommandLine(int argc, char* argv[]);

}  // namespace tb
