#include "schedule/schedule_model.h"

#include "schedule/schedule_file.h"

namespace tb {

void ScheduleModel::load(const std::filesystem::path& folder) {
    paths_ = loadScheduleFile(folder / kPathsFile);
    firstRowOf_.clear();
    times_ = loadScheduleFile(folder / kTimesFile);
    firstRowOf_.reserve(times_.size());
    for (std::size_t i = 0; i < times_.size(); ++i) firstRowOf_.try_emplace(times_[i], i);
    view_ = loadScheduleFile(folder / kPlaylistFile);
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
