#pragma once

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

// The largest schedule file that is read: some hundred thousand entries.
inline constexpr long long kLargestScheduleFile = 64LL << 20;
// The longest line of one: a path and a time text never come near it.
inline constexpr std::size_t kLongestScheduleLine = 64 << 10;

// Bytes of a schedule file into its lines: a byte-order mark (UTF-16 LE/BE, UTF-8)
// picks the encoding, anything else is in the system's code page (UTF-8 on Linux).
// CR, LF and CR LF end a line, a final break adds no line, a NUL ends the text.
std::vector<std::string> decodeScheduleText(std::string_view bytes);

// Lines into the bytes of a schedule file: the system's code page without a mark, CR LF
// after every line; a text the code page cannot hold goes as UTF-8 with its mark.
std::string encodeScheduleText(const std::vector<std::string>& lines);

// Throws FileError "Cannot open file "<path>". <reason>"; a FIFO, a device or a folder
// is refused (it could block or never end), as is a file over kLargestScheduleFile or
// one with a line over kLongestScheduleLine.
std::vector<std::string> loadScheduleFile(const std::filesystem::path& file);

// A path of the schedule as the program opens it: a relative one counts from the
// schedule's folder, whatever the current folder is (autostart starts in the home).
std::string resolveSchedulePath(const std::filesystem::path& folder, const std::string& path);

// "path|time"; split at the first bar. A line without a bar is an empty path and a
// time text equal to the whole line.
std::string makePlaylistLine(const std::string& path, const std::string& timeText);
std::pair<std::string, std::string> splitPlaylistLine(const std::string& line);

// Writes the three schedule files from the playlist lines: the lines into
// playlist.ini, their paths into qian.ini and their time texts into hou.ini, which
// `paths` and `times` receive. The three are replaced together or not at all: after a
// failure every file holds what it held. Throws FileError "Cannot create file
// "<path>". <reason>" naming the file that failed.
void saveSchedule(const std::filesystem::path& folder, const std::vector<std::string>& playlistLines,
                  std::vector<std::string>& paths, std::vector<std::string>& times);

}  // namespace tb
