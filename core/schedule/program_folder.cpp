#include "core/schedule/program_folder.h"

#include <cstdlib>
#include <system_error>

namespace tb {
namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::filesystem::path canonicalOrSame(const std::filesystem::path& p) {
    std::error_code ec;
    auto c = std::filesystem::weakly_canonical(p, ec);
    return ec ? p : c;
}

}  // namespace

std::filesystem::path programFolder() { return executablePath().parent_path(); }

std::filesystem::path scheduleFolder(const std::filesystem::path& executable,
                                     const std::filesystem::path& installedBinDir,
                                     std::optional<std::string> xdgConfigHome, std::optional<std::string> home) {
    const std::filesystem::path folder = executable.parent_path();
    if (installedBinDir.empty() || canonicalOrSame(folder) != canonicalOrSame(installedBinDir)) return folder;
    if (!xdgConfigHome) xdgConfigHome = environment("XDG_CONFIG_HOME");
    if (!home) home = environment("HOME");
    // An empty or relative XDG_CONFIG_HOME is to be ignored.
    std::filesystem::path config;
    if (xdgConfigHome && !xdgConfigHome->empty() && std::filesystem::path(*xdgConfigHome).is_absolute()) {
        config = *xdgConfigHome;
    } else {
        config = std::filesystem::path(home.value_or("/")) / ".config";
    }
    return config / "tollbrook";
}

}  // namespace tb
