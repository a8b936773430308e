// The schedule files as any editor or script may have left them: marks, line ends,
// NULs, bytes that are not UTF-8, and the three files disagreeing.
// Properties:
//  - whatever one file reads as, saved again it reads back the same lines;
//  - the three-file load takes either exactly what each file reads as, or nothing:
//    it refuses, and the schedule in force stays as it was;
//  - what the editor saves (lines without a line break or NUL) loads back the same, in
//    all three files; a line too long to load is not saved.
// Input: qian.ini, hou.ini and playlist.ini, separated by the byte 0x1E.
#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_model.h"
#include "core/schedule/schedule_text.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <fstream>

using namespace tb;

namespace {

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool storable(const std::string& line) { return line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view files[3] = {fuzz::nextPart(rest, '\x1E'), fuzz::nextPart(rest, '\x1E'), rest};

    // One file: read, saved, read again.
    for (const auto bytes : files) {
        const ScheduleText read = decodeScheduleText(bytes);
        for (const auto& line : read.lines) fuzz::require(storable(line), "a line read holds no line break or NUL");
        fuzz::require(decodeScheduleText(encodeScheduleText(read.lines)).lines == read.lines,
                      "what was read, saved, reads back the same");
    }

    // The three files, loaded over a schedule in force.
    const auto& folder = fuzz::scratchFolder();
    const std::filesystem::path names[3] = {folder / kPathsFile, folder / kTimesFile, folder / kPlaylistFile};
    const std::vector<std::string> before{"/music/bell.mp3|8:00:00"};
    std::vector<std::string> paths, times;
    saveSchedule(folder, before, paths, times);
    ScheduleModel model;
    model.reload(folder);
    for (int i = 0; i < 3; ++i) writeBytes(names[i], files[i]);
    try {
        model.reload(folder);
        fuzz::require(model.paths() == decodeScheduleText(files[0]).lines && model.times() == decodeScheduleText(files[1]).lines &&
                          model.viewLines() == decodeScheduleText(files[2]).lines,
                      "a load takes each file as it reads");
    } catch (const FileError&) {
        fuzz::require(model.paths() == paths && model.times() == times && model.viewLines() == before,
                      "a refused load leaves the schedule in force");
    }

    // What the editor saves: the playlist file's lines.
    std::vector<std::string> lines = decodeScheduleText(files[2]).lines;
    bool tooLong = false;
    for (const auto& line : lines) tooLong = tooLong || line.size() > kLongestScheduleLine;
    try {
        saveSchedule(folder, lines, paths, times);
    } catch (const FileError&) {
        fuzz::require(tooLong, "only a line the load would refuse stops a save");
        return 0;
    }
    fuzz::require(!tooLong, "no line the load would refuse is saved");
    model.reload(folder);
    fuzz::require(model.viewLines() == lines, "the saved playlist loads back the same");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto [path, time] = splitPlaylistLine(lines[i]);
        fuzz::require(model.paths()[i] == path && model.times()[i] == time, "paths and times load back as saved");
    }
    return 0;
}
