#pragma once

#include "core/util/file_system.h"

#include <filesystem>

namespace tb {

// The folder of the running executable.
std::filesystem::path programFolder();

// Whether two paths name the same folder: the same entry of the file system when both
// exist, however each is spelt (case on Windows, short names, links, "..");
// otherwise the same path once made absolute and normal.
bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

// Where the schedule files live. Beside the program when it runs from a folder of its
// own (the build folder, a copied folder, an unpacked zip); in `userFolder` when it
// runs from `installedFolder`, the folder it was installed to, which is neither
// writable for the user nor the user's own. Each platform says what the two are
// (platform/posix/config_folder_posix.h, platform/win32/schedule_folder_win32.h); an
// empty one is not known, and the schedule then stays beside the program.
std::filesystem::path scheduleFolder(const std::filesystem::path& executable,
                                     const std::filesystem::path& installedFolder,
                                     const std::filesystem::path& userFolder);

// The same, and whether it is the installed program's per-user folder (which no
// installer can fill, so the program makes the schedule files there itself).
struct ScheduleLocation {
    std::filesystem::path folder;
    bool installed = false;
};
ScheduleLocation scheduleLocation(const std::filesystem::path& executable,
                                  const std::filesystem::path& installedFolder,
                                  const std::filesystem::path& userFolder);

}  // namespace tb
