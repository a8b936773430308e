#pragma once

#include <filesystem>

namespace tb {

// The folder of the running executable; the schedule files are looked up there
// whatever the current directory is.
std::filesystem::path programFolder();

}  // namespace tb
