#pragma once

#include "core/util/file_steps.h"
#include "core/schedule/schedule_text.h"

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tb {

// A schedule file that cannot be opened or created; the message names the file and
// the system's reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kPlaylistFile = "playlist.ini";
inline constexpr const char* kPathsFile = "qian.ini";
inline constexpr const char* kTimesFile = "hou.ini";
// The record of a save under way, beside the three files: found at a load, it is a save
// that was cut off after it committed, and the load finishes it.
inline constexpr const char* kSaveJournal = "tollbrook-save.journal";

// The largest schedule file that is read: some hundred thousand entries.
inline constexpr long long kLargestScheduleFile = 64LL << 20;
// The longest line of one: a path and a time text never come near it.
inline constexpr std::size_t kLongestScheduleLine = 64 << 10;

// Throws FileError "Cannot open file "<path>". <reason>"; a FIFO, a device or a folder
// is refused (it could block or never end), as is a file over kLargestScheduleFile or
// one with a line over kLongestScheduleLine.
ScheduleText loadScheduleText(const std::filesystem::path& file);
std::vector<std::string> loadScheduleFile(const std::filesystem::path& file);

// Finishes a save of the schedule in `folder` that was cut off after it committed, and
// removes what one cut off before left: afterwards the three files agree as a save left
// them, and no temporary file is left. Throws FileError "Cannot open file "<path>".
// <reason>" naming the file that could not be put in place; then nothing is removed.
void finishInterruptedSave(const std::filesystem::path& folder);

// A path of the schedule as the program opens it: a relative one counts from the
// schedule's folder, whatever the current folder is (autostart starts in the home); a
// full one (on Windows also "\\server\share\..." and "\\?\...") stays as written.
std::string resolveSchedulePath(const std::filesystem::path& folder, const std::string& path);

// "path|time"; split at the first bar. A line without a bar is an empty path and a
// time text equal to the whole line.
std::string makePlaylistLine(const std::string& path, const std::string& timeText);
std::pair<std::string, std::string> splitPlaylistLine(const std::string& line);

// Writes the three schedule files from the playlist lines: the lines into
// playlist.ini, their paths into qian.ini and their time texts into hou.ini, which
// `paths` and `times` receive. The three are replaced together or not at all: after a
// failure every file holds what it held, and a cut-off (the process killed, the power
// gone) leaves them all old or, once the save has committed, all new after
// finishInterruptedSave. Throws FileError "Cannot create file "<path>". <reason>"
// naming the file that failed.
void saveSchedule(const std::filesystem::path& folder, const std::vector<std::string>& playlistLines,
                  std::vector<std::string>& paths, std::vector<std::string>& times,
                  FileSteps& steps = platformFileSteps());

}  // namespace tb
