#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tb {

// The schedule as the main window holds it while it runs: three lists aligned by row,
// the paths (qian.ini), the time texts (hou.ini) and the playlist lines that the
// playlist view shows (playlist.ini).
//
// A load first finishes a save that was cut off. Paths and times that do not agree in
// their number of rows (empty rows at the end aside) cannot be right: row i of one no
// longer belongs to row i of the other, and a wrong file would ring at a wrong time.
// Such a schedule is not taken: the load throws FileError naming both files, their
// line counts and where a NUL ended one early, and the lists keep what they held.
class ScheduleModel final {
public:
    const std::vector<std::string>& paths() const { return paths_; }
    const std::vector<std::string>& times() const { return times_; }
    const std::vector<std::string>& viewLines() const { return view_; }

    // Loads qian.ini, hou.ini and playlist.ini from `folder` in that order, each
    // replacing its list. A file that cannot be read throws FileError there: the lists
    // loaded before it hold their new rows, the others keep what they held. Answers a
    // notice when playlist.ini does not agree with the other two (the view then shows
    // other entries than ring).
    std::optional<std::string> load(const std::filesystem::path& folder);
    // Reads all three files first and takes them only when all three were read and
    // agree; else throws FileError and the schedule stays as it was.
    std::optional<std::string> reload(const std::filesystem::path& folder);
    void clear();

    // The first row whose time text is `timeText`, if any.
    std::optional<std::size_t> firstDue(const std::string& timeText) const;

    // The playlist view loses a row by itself (the editor's deletion); the paths and
    // times keep it until the next load. An index beyond the view removes nothing.
    void removeViewRow(std::size_t row);

private:
    void setTimes(std::vector<std::string> times);

    std::vector<std::string> paths_, times_, view_;
    std::unordered_map<std::string, std::size_t> firstRowOf_;  // time text -> its first row
};

}  // namespace tb
