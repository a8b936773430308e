#pragma once

#include "core/schedule/schedule_file.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tb::test {

// Writes the three schedule files for (path, time text) entries, as the program saves them.
inline void writeSchedule(const std::filesystem::path& folder,
                          const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const auto& [path, time] : entries) lines.push_back(makePlaylistLine(path, time));
    std::vector<std::string> paths, times;
    saveSchedule(folder, lines, paths, times);
}

}  // namespace tb::test
