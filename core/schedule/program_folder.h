#pragma once

#include "core/schedule/file_system.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tb {

// The folder of the running executable.
std::filesystem::path programFolder();

// Where the schedule files live. Beside the program when it runs from a folder of its
// own (the build folder, a copied folder); in $XDG_CONFIG_HOME/tollbrook (by default
// ~/.config/tollbrook) when it runs from the folder it was installed to, which is
// neither writable nor the user's. `installedBinDir` is that folder as the build knows
// it; the config folders come from the environment when not given.
std::filesystem::path scheduleFolder(const std::filesystem::path& executable,
                                     const std::filesystem::path& installedBinDir,
                                     std::optional<std::string> xdgConfigHome = std::nullopt,
                                     std::optional<std::string> home = std::nullopt);

}  // namespace tb
