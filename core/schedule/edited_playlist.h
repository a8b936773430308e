#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// The playlist editor's list of playlist lines and its one selected row, with the rules
// its commands follow. Nothing is sorted and duplicates are allowed.
class EditedPlaylist final {
public:
    EditedPlaylist() = default;
    explicit EditedPlaylist(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    const std::vector<std::string>& lines() const { return lines_; }
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> row);

    // At the end; the selection stays.
    void add(std::string line);
    // Just after the selected row, which stays selected; with none, at the top.
    void insert(std::string line);
    // In place of the selected row, which stays selected; with none, at the end, and
    // nothing is selected.
    void update(std::string line);
    // Takes out the selected row and answers where it was; nothing is selected after.
    std::optional<std::size_t> remove();

private:
    std::vector<std::string> lines_;
    std::optional<std::size_t> selected_;
};

// A path can go into a playlist line only without a bar (the line is split at its first
// bar) and without a line break (the files hold a line per entry).
bool storableInPlaylistLine(const std::string& path);

// The text names something that exists and is not a folder. Where the system cannot
// tell (access denied on the way), a listing of the folder decides. An empty text names
// nothing; a relative path counts from the current folder. A file system that does not
// answer within a second counts as naming nothing.
bool namesExistingFile(const std::string& path);

}  // namespace tb
