#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The lines of a schedule file as read.
struct ScheduleText {
    std::vector<std::string> lines;
    // The line, counted from 1, in which a NUL character ended the text, if one did:
    // whatever followed it was not read.
    std::optional<std::size_t> endedAtNul;
    bool operator==(const ScheduleText&) const = default;
};

// Bytes of a schedule file into its lines. A byte-order mark (UTF-16 LE/BE, UTF-8)
// picks the encoding; without one, a file that is well-formed UTF-8 as a whole is
// UTF-8, and anything else is in the system's code page (UTF-8 on Linux too). CR, LF
// and CR LF end a line, a final break adds no line, a NUL ends the text.
ScheduleText decodeScheduleText(std::string_view bytes);

// Lines into the bytes of a schedule file: the system's code page without a mark, CR LF
// after every line. A text that would not read back so (a character the code page
// cannot hold, a first line that begins with the bytes of a mark) goes as UTF-8 with
// its mark.
std::string encodeScheduleText(const std::vector<std::string>& lines);

}  // namespace tb
