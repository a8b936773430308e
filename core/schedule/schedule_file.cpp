#include "core/schedule/schedule_file.h"

#include "core/util/file_replacement.h"
#include "core/util/file_system.h"

#include <string>

namespace tb {
namespace {

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace

ScheduleText loadScheduleText(const std::filesystem::path& file) {
    auto refuse = [&](const std::string& reason) {
        return FileError("Cannot open file \"" + utf8(file) + "\". " + reason);
    };
    FileBytes read = readRegularFile(file, kLargestScheduleFile);
    if (!read.failure.empty()) throw refuse(read.failure);
    ScheduleText text = decodeScheduleText(read.bytes);
    // A schedule line is a path and a time; one this long is no schedule, and would
    // only cost the program its memory and its time.
    for (const auto& line : text.lines) {
        if (line.size() > kLongestScheduleLine) throw refuse("A line is longer than 64 KiB");
    }
    return text;
}

std::vector<std::string> loadScheduleFile(const std::filesystem::path& file) {
    return loadScheduleText(file).lines;
}

void finishInterruptedSave(const std::filesystem::path& folder) {
    if (const auto failure = finishReplacement(folder / kSaveJournal)) {
        throw FileError("Cannot open file \"" + utf8(failure->file) + "\". A save that was cut off cannot be finished: " +
                        failure->reason);
    }
    removeLeftovers(folder, {kPlaylistFile, kPathsFile, kTimesFile, kSaveJournal});
}

std::string resolveSchedulePath(const std::filesystem::path& folder, const std::string& path) {
    if (path.empty()) return path;
    if (isFullPath(path)) return path;
    return utf8((folder / std::filesystem::u8path(path)).lexically_normal());
}

std::string makePlaylistLine(const std::string& path, const std::string& timeText) {
    return path + "|" + timeText;
}

std::pair<std::string, std::string> splitPlaylistLine(const std::string& line) {
    const auto bar = line.find('|');
    if (bar == std::string::npos) return {std::string(), line};
    return {line.substr(0, bar), line.substr(bar + 1)};
}

void saveSchedule(const std::filesystem::path& folder, const std::vector<std::string>& playlistLines,
                  std::vector<std::string>& paths, std::vector<std::string>& times, FileSteps& steps) {
    // What is saved must load again: a line the reader refuses would cost every bell
    // from the next start on.
    for (const auto& line : playlistLines) {
        if (line.size() > kLongestScheduleLine) {
            throw FileError("Cannot create file \"" + utf8(folder / kPlaylistFile) + "\". A line is longer than 64 KiB");
        }
    }
    paths.clear();
    times.clear();
    for (const auto& line : playlistLines) {
        auto [path, time] = splitPlaylistLine(line);
        paths.push_back(std::move(path));
        times.push_back(std::move(time));
    }
    // All three or none: files that disagree would list entries that never ring.
    const std::vector<FileReplacement> files{{folder / kPlaylistFile, encodeScheduleText(playlistLines)},
                                             {folder / kPathsFile, encodeScheduleText(paths)},
                                             {folder / kTimesFile, encodeScheduleText(times)}};
    if (const auto failure = replaceFiles(files, folder / kSaveJournal, steps)) {
        throw FileError("Cannot create file \"" + utf8(failure->file) + "\". " + failure->reason);
    }
}

}  // namespace tb
