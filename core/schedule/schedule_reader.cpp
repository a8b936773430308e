#include "core/schedule/schedule_reader.h"

#include "core/worker.h"
#include "core/schedule/schedule_file.h"

#include <memory>
#include <mutex>

namespace tb {
namespace {

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace

ScheduleRead readScheduleFiles(const std::vector<std::filesystem::path>& files, std::chrono::milliseconds limit,
                               const std::filesystem::path& scheduleFolder) {
    // What the worker has read so far: all of it when it answers in time, and up to the
    // file it hangs on when it does not.
    struct Progress {
        std::mutex mutex;
        ScheduleRead read;
    };
    auto progress = std::make_shared<Progress>();
    const auto answered = Worker::runWithin<bool>(limit, [progress, files, scheduleFolder] {
        if (!scheduleFolder.empty()) {
            try {
                finishInterruptedSave(scheduleFolder);
            } catch (const FileError& e) {
                std::lock_guard lock(progress->mutex);
                progress->read.failure = e.what();
                return true;
            }
        }
        for (const auto& file : files) {
            std::optional<ScheduleText> text;
            std::optional<std::string> failure;
            try {
                text = loadScheduleText(file);
            } catch (const FileError& e) {
                failure = e.what();
            }
            std::lock_guard lock(progress->mutex);
            if (failure) {
                progress->read.failure = std::move(failure);
                break;
            }
            progress->read.texts.push_back(std::move(*text));
        }
        return true;
    });
    std::lock_guard lock(progress->mutex);
    ScheduleRead read = std::move(progress->read);
    // (It may have finished just after the wait ended: then all it read stands.)
    if (!answered && !read.failure && read.texts.size() < files.size()) {
        read.failure = "Cannot open file \"" + utf8(files[read.texts.size()]) + "\". Reading it timed out";
    }
    return read;
}

std::vector<std::string> readScheduleFile(const std::filesystem::path& file, std::chrono::milliseconds limit) {
    ScheduleRead read = readScheduleFiles({file}, limit);
    if (read.failure) throw FileError(*read.failure);
    return std::move(read.texts.front().lines);
}

}  // namespace tb
