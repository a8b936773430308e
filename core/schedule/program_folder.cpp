#include "core/schedule/program_folder.h"

#include <system_error>

namespace tb {
namespace {

// Without a trailing separator, which the C runtime's stat on Windows refuses for a
// folder (a root keeps its own).
std::filesystem::path withoutTrailingSeparator(std::filesystem::path p) {
    while (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

std::filesystem::path canonicalOrSame(const std::filesystem::path& p) {
    std::error_code ec;
    auto c = std::filesystem::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : c;
}

}  // namespace

std::filesystem::path programFolder() { return executablePath().parent_path(); }

bool sameFolder(const std::filesystem::path& first, const std::filesystem::path& second) {
    const std::filesystem::path a = withoutTrailingSeparator(first);
    const std::filesystem::path b = withoutTrailingSeparator(second);
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    // Only where the system could not compare them (one of them is missing): by name.
    return ec && canonicalOrSame(a) == canonicalOrSame(b);
}

ScheduleLocation scheduleLocation(const std::filesystem::path& executable,
                                  const std::filesystem::path& installedFolder,
                                  const std::filesystem::path& userFolder) {
    const std::filesystem::path folder = executable.parent_path();
    if (installedFolder.empty() || userFolder.empty() || !sameFolder(folder, installedFolder)) return {folder, false};
    return {userFolder, true};
}

std::filesystem::path scheduleFolder(const std::filesystem::path& executable,
                                     const std::filesystem::path& installedFolder,
                                     const std::filesystem::path& userFolder) {
    return scheduleLocation(executable, installedFolder, userFolder).folder;
}

}  // namespace tb
