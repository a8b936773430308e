#include "core/schedule/schedule_model.h"

#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_reader.h"

namespace tb {
namespace {

std::vector<std::filesystem::path> scheduleFiles(const std::filesystem::path& folder) {
    return {folder / kPathsFile, folder / kTimesFile, folder / kPlaylistFile};
}

}  // namespace

void ScheduleModel::setTimes(std::vector<std::string> times) {
    times_ = std::move(times);
    firstRowOf_.clear();
    firstRowOf_.reserve(times_.size());
    for (std::size_t i = 0; i < times_.size(); ++i) firstRowOf_.try_emplace(times_[i], i);
}

void ScheduleModel::load(const std::filesystem::path& folder) {
    ScheduleRead read = readScheduleFiles(scheduleFiles(folder));
    auto& lists = read.lists;
    if (lists.size() > 0) paths_ = std::move(lists[0]);
    if (lists.size() > 1) setTimes(std::move(lists[1]));
    if (lists.size() > 2) view_ = std::move(lists[2]);
    if (read.failure) throw FileError(*read.failure);
}

void ScheduleModel::reload(const std::filesystem::path& folder) {
    ScheduleRead read = readScheduleFiles(scheduleFiles(folder));
    if (read.failure) throw FileError(*read.failure);
    paths_ = std::move(read.lists[0]);
    setTimes(std::move(read.lists[1]));
    view_ = std::move(read.lists[2]);
}

void ScheduleModel::clear() {
    paths_.clear();
    times_.clear();
    view_.clear();
    firstRowOf_.clear();
}

std::optional<std::size_t> ScheduleModel::firstDue(const std::string& timeText) const {
    // Time texts are equal when they are the same characters, so a lookup by text
    // finds what a scan from the top would.
    const auto it = firstRowOf_.find(timeText);
    if (it == firstRowOf_.end()) return std::nullopt;
    return it->second;
}

void ScheduleModel::removeViewRow(std::size_t row) {
    if (row < view_.size()) view_.erase(view_.begin() + static_cast<std::ptrdiff_t>(row));
}

}  // namespace tb
