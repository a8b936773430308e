#pragma once

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

// Bytes of a schedule file into its lines: a byte-order mark (UTF-16 LE/BE, UTF-8)
// picks the encoding, anything else is taken as the system's (UTF-8) bytes unchanged.
// CR, LF and CR LF end a line, a final break adds no line, a NUL ends the text.
std::vector<std::string> decodeScheduleText(std::string_view bytes);

// Lines into the bytes of a schedule file: no mark, CR LF after every line.
std::string encodeScheduleText(const std::vector<std::string>& lines);

// Throws FileError "Cannot open file "<path>". <reason>"; a FIFO, a device or a folder
// is refused (it could block or never end), as is a file over kLargestScheduleFile.
std::vector<std::string> loadScheduleFile(const std::filesystem::path& file);

// Replaces the file as a whole: the new text goes to a temporary file in the same
// folder, which is then renamed over the old one, so a failure leaves the old
// contents in place. Throws FileError "Cannot create file "<path>". <reason>".
void saveScheduleFile(const std::filesystem::path& file, const std::vector<std::string>& lines);

// "path|time"; split at the first bar. A line without a bar is an empty path and a
// time text equal to the whole line.
std::string makePlaylistLine(const std::string& path, const std::string& timeText);
std::pair<std::string, std::string> splitPlaylistLine(const std::string& line);

// Writes the three schedule files from the playlist lines: playlist.ini first, then
// the paths into qian.ini and the time texts into hou.ini. `paths` and `times` receive
// the split halves (they are filled before the second file is written). A failure
// stops at the file where it happens; files written before keep their new contents.
void saveSchedule(const std::filesystem::path& folder, const std::vector<std::string>& playlistLines,
                  std::vector<std::string>& paths, std::vector<std::string>& times);

// The system's text for an errno value, without trailing blanks, line breaks and full stops.
std::string systemErrorText(int error);

}  // namespace tb
