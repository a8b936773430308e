#include "core/schedule/schedule_model.h"

#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_reader.h"

#include <algorithm>

namespace tb {
namespace {

std::vector<std::filesystem::path> scheduleFiles(const std::filesystem::path& folder) {
    return {folder / kPathsFile, folder / kTimesFile, folder / kPlaylistFile};
}

std::string quoted(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return "\"" + std::string(s.begin(), s.end()) + "\"";
}

std::string lineCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " line" : " lines"); }

// Row i of a list, or an empty one beyond its end.
const std::string& row(const std::vector<std::string>& lines, std::size_t i) {
    static const std::string none;
    return i < lines.size() ? lines[i] : none;
}

// The refusal of paths and times that do not agree, if they do not: one has rows beyond
// the other's end that are not empty.
std::optional<std::string> disagreement(const std::filesystem::path& folder, const ScheduleText& paths,
                                        const ScheduleText& times) {
    const std::size_t n = std::max(paths.lines.size(), times.lines.size());
    bool agree = true;
    for (std::size_t i = std::min(paths.lines.size(), times.lines.size()); i < n && agree; ++i) {
        agree = row(paths.lines, i).empty() && row(times.lines, i).empty();
    }
    if (agree) return std::nullopt;
    std::string text = "The schedule files do not agree: " + quoted(folder / kPathsFile) + " has " +
                       lineCount(paths.lines.size()) + " and " + quoted(folder / kTimesFile) + " has " +
                       std::to_string(times.lines.size());
    for (const auto& [file, read] : {std::pair{kPathsFile, &paths}, std::pair{kTimesFile, &times}}) {
        if (read->endedAtNul) {
            text += "; a NUL character ends " + quoted(folder / file) + " early, in line " +
                    std::to_string(*read->endedAtNul);
        }
    }
    return text;
}

// The notice of a playlist view that shows other entries than ring, if it does.
std::optional<std::string> viewNotice(const std::filesystem::path& folder, const std::vector<std::string>& paths,
                                      const std::vector<std::string>& times, const std::vector<std::string>& view) {
    const std::size_t rows = std::max(paths.size(), times.size());
    const std::size_t n = std::max(rows, view.size());
    std::size_t i = 0;
    while (i < n && splitPlaylistLine(row(view, i)) == std::pair{row(paths, i), row(times, i)}) ++i;
    if (i == n) return std::nullopt;
    const std::string others = quoted(folder / kPathsFile) + " and " + quoted(folder / kTimesFile);
    const std::string what = i >= view.size() || i >= rows
                                 ? quoted(folder / kPlaylistFile) + " has " + lineCount(view.size()) + " and " +
                                       others + " have " + std::to_string(rows)
                                 : "Line " + std::to_string(i + 1) + " of " + quoted(folder / kPlaylistFile) +
                                       " is not that of " + others;
    return what +
           ": the list shows what playlist.ini holds, and the bells ring as qian.ini and hou.ini say.\nSaving in "
           "the playlist editor writes all three from playlist.ini.";
}

}  // namespace

void ScheduleModel::setTimes(std::vector<std::string> times) {
    times_ = std::move(times);
    firstRowOf_.clear();
    firstRowOf_.reserve(times_.size());
    for (std::size_t i = 0; i < times_.size(); ++i) firstRowOf_.try_emplace(times_[i], i);
}

std::optional<std::string> ScheduleModel::load(const std::filesystem::path& folder) {
    ScheduleRead read = readScheduleFiles(scheduleFiles(folder), kScheduleReadLimit, folder);
    auto& texts = read.texts;
    if (texts.size() > 1) {
        if (auto refusal = disagreement(folder, texts[0], texts[1])) throw FileError(*refusal);
    }
    if (texts.size() > 0) paths_ = std::move(texts[0].lines);
    if (texts.size() > 1) setTimes(std::move(texts[1].lines));
    if (texts.size() > 2) view_ = std::move(texts[2].lines);
    if (read.failure) throw FileError(*read.failure);
    return viewNotice(folder, paths_, times_, view_);
}

std::optional<std::string> ScheduleModel::reload(const std::filesystem::path& folder) {
    ScheduleRead read = readScheduleFiles(scheduleFiles(folder), kScheduleReadLimit, folder);
    if (read.failure) throw FileError(*read.failure);
    if (auto refusal = disagreement(folder, read.texts[0], read.texts[1])) throw FileError(*refusal);
    paths_ = std::move(read.texts[0].lines);
    setTimes(std::move(read.texts[1].lines));
    view_ = std::move(read.texts[2].lines);
    return viewNotice(folder, paths_, times_, view_);
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
