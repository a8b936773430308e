#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tb {

// The user's configuration folder of the XDG base directories: $XDG_CONFIG_HOME when
// it is an absolute path (an empty or relative one is to be ignored), else
// <home>/.config, the home being $HOME when that is absolute, else the account's home
// in the password database (as GLib finds it). Empty when none is known: nothing may
// then be written in the place of a home (at "/.config" as root). An unset variable is
// std::nullopt.
std::filesystem::path configFolder(const std::optional<std::string>& xdgConfigHome,
                                   const std::optional<std::string>& home,
                                   const std::optional<std::string>& accountHome);
// The same, from this process's environment and account.
std::filesystem::path configFolder();

// Where the installed program keeps its schedule: <config folder>/tollbrook; empty when
// there is no config folder.
std::filesystem::path userScheduleFolder();

}  // namespace tb
