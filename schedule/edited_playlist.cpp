#include "schedule/edited_playlist.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
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

namespace {

bool existsAndIsNoFolder(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return !S_ISDIR(st.st_mode);
    if (errno == ENOENT || errno == ENOTDIR) return false;
    // The system cannot tell: look for the name in its folder's listing.
    const std::filesystem::path p(path);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : ".";
    const std::string name = p.filename().string();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = entry->d_type != DT_DIR;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

bool namesExistingFile(const std::string& path) {
    if (path.empty()) return false;
    // A hung network share must not hold up the window: the check gets a second.
    struct Answer {
        std::mutex mutex;
        std::condition_variable ready;
        std::optional<bool> value;
    };
    auto answer = std::make_shared<Answer>();
    std::thread([answer, path] {
        const bool exists = existsAndIsNoFolder(path);
        std::lock_guard lock(answer->mutex);
        answer->value = exists;
        answer->ready.notify_all();
    }).detach();
    std::unique_lock lock(answer->mutex);
    answer->ready.wait_for(lock, std::chrono::seconds(1), [&] { return answer->value.has_value(); });
    return answer->value.value_or(false);
}

}  // namespace tb
