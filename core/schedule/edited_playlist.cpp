#include "core/schedule/edited_playlist.h"

#include "core/worker.h"
#include "core/util/file_system.h"

#include <chrono>
#include <filesystem>
#include <utility>

namespace tb {

void EditedPlaylist::select(std::optional<std::size_t> row) {
    selected_ = row && *row < lines_.size() ? row : std::nullopt;
}

void EditedPlaylist::add(std::string line) { lines_.push_back(std::move(line)); }

void EditedPlaylist::insert(std::string line) {
    const std::size_t at = selected_ ? *selected_ + 1 : 0;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void EditedPlaylist::update(std::string line) {
    if (selected_) {
        lines_[*selected_] = std::move(line);
    } else {
        lines_.push_back(std::move(line));
    }
}

std::optional<std::size_t> EditedPlaylist::remove() {
    const auto row = std::exchange(selected_, std::nullopt);
    if (row) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*row));
    return row;
}

bool storableInPlaylistLine(const std::string& path) { return path.find_first_of("|\r\n") == std::string::npos; }

bool namesExistingFile(const std::string& path) {
    if (path.empty()) return false;
    // A hung network share must not hold up the window: the check gets a second.
    const auto answer = Worker::runWithin<bool>(std::chrono::seconds(1), [path] {
        const std::filesystem::path p = std::filesystem::u8path(path);
        switch (pathKind(p)) {
            case PathKind::Missing:
            case PathKind::Folder: return false;
            case PathKind::Regular:
            case PathKind::Other: return true;
            case PathKind::NoAccess: return listedAsNonFolder(p).value_or(false);
        }
        return false;
    });
    return answer.value_or(false);
}

}  // namespace tb
