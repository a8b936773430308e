#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tb {

// The user's configuration folder of the XDG base directories: $XDG_CONFIG_HOME when
// it is an absolute path (an empty or relative one is to be ignored), else
// $HOME/.config. An unset variable is std::nullopt.
std::filesystem::path configFolder(const std::optional<std::string>& xdgConfigHome,
                                   const std::optional<std::string>& home);
// The same, from this process's environment.
std::filesystem::path configFolder();

// Where the installed program keeps its schedule: <config folder>/tollbrook.
std::filesystem::path userScheduleFolder();

}  // namespace tb
