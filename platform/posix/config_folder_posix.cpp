#include "platform/posix/config_folder_posix.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tb {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::optional<std::string> accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr) {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

bool absolute(const std::optional<std::string>& path) { return path && std::filesystem::path(*path).is_absolute(); }

}  // namespace

std::filesystem::path configFolder(const std::optional<std::string>& xdgConfigHome,
                                   const std::optional<std::string>& home,
                                   const std::optional<std::string>& account) {
    if (absolute(xdgConfigHome)) return *xdgConfigHome;
    if (absolute(home)) return std::filesystem::path(*home) / ".config";
    if (absolute(account)) return std::filesystem::path(*account) / ".config";
    return {};
}

std::filesystem::path configFolder() {
    return configFolder(environment("XDG_CONFIG_HOME"), environment("HOME"), accountHome());
}

std::filesystem::path userScheduleFolder() {
    const std::filesystem::path config = configFolder();
    return config.empty() ? config : config / "tollbrook";
}

}  // namespace tb
