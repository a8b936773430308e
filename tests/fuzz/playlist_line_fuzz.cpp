// A playlist line as the editor makes it from a path and a time text, and as the main
// window splits it. Properties: a path the editor takes (storableInPlaylistLine) and
// any time text come back from the line as they went in; any line at all splits into
// a path without a bar, which made into a line again gives the line (a line without a
// bar gains the bar in front, as an empty path).
// Input: the path, the byte 0x1E, the time text.
#include "core/schedule/edited_playlist.h"
#include "core/schedule/schedule_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>

using namespace tb;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string path(fuzz::nextPart(rest, '\x1E'));
    const std::string time(rest);

    if (storableInPlaylistLine(path)) {
        const auto [p, t] = splitPlaylistLine(makePlaylistLine(path, time));
        fuzz::require(p == path && t == time, "a storable path and its time come back from the line");
    }
    const std::string line(data, data + size);
    const auto [p, t] = splitPlaylistLine(line);
    fuzz::require(p.find('|') == std::string::npos, "the path of a line holds no bar");
    const std::string again = makePlaylistLine(p, t);
    fuzz::require(again == line || (line.find('|') == std::string::npos && again == "|" + line),
                  "a split line is made again as it was");
    return 0;
}
