#pragma once

#include "core/schedule/schedule_text.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// How long the user-interface thread waits for a schedule file: as long as for a bell's.
inline constexpr std::chrono::milliseconds kScheduleReadLimit{2000};

// Schedule files read in order, up to the first that could not be read.
struct ScheduleRead {
    std::vector<ScheduleText> texts;     // the files read
    std::optional<std::string> failure;  // the open message of the one that failed
    bool complete() const { return !failure; }
};

// Reads the files on a worker of their own and waits for them at most `limit` in all, so
// that a file system that does not answer (a dead network share) costs the caller that
// long and no more; the file it hung on then fails with "Reading it timed out". With a
// `scheduleFolder`, a save there that was cut off is finished first.
ScheduleRead readScheduleFiles(const std::vector<std::filesystem::path>& files,
                               std::chrono::milliseconds limit = kScheduleReadLimit,
                               const std::filesystem::path& scheduleFolder = {});

// One file, the same way; throws FileError with its open message.
std::vector<std::string> readScheduleFile(const std::filesystem::path& file,
                                          std::chrono::milliseconds limit = kScheduleReadLimit);

}  // namespace tb
