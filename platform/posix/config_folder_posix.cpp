#include "platform/posix/config_folder_posix.h"

#include <cstdlib>

namespace tb {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::filesystem::path configFolder(const std::optional<std::string>& xdgConfigHome,
                                   const std::optional<std::string>& home) {
    if (xdgConfigHome && std::filesystem::path(*xdgConfigHome).is_absolute()) return *xdgConfigHome;
    return std::filesystem::path(home.value_or("/")) / ".config";
}

std::filesystem::path configFolder() { return configFolder(environment("XDG_CONFIG_HOME"), environment("HOME")); }

std::filesystem::path userScheduleFolder() { return configFolder() / "tollbrook"; }

}  // namespace tb
