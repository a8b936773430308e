#include "core/schedule/schedule_file.h"

#include "core/schedule/file_system.h"

#include <string>

namespace tb {
namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 to UTF-8 up to the first NUL; an unpaired surrogate becomes U+FFFD and an odd
// last byte is dropped.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    const std::size_t n = bytes.size() / 2;
    for (std::size_t k = 0; k < n; ++k) {
        const char16_t u = unit(2 * k);
        if (u == 0) break;
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < n) {
            const char16_t v = unit(2 * (k + 1));
            if (v >= 0xDC00 && v < 0xE000) {
                appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(v) - 0xDC00));
                ++k;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string_view untilNul(std::string_view s) {
    const auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

}  // namespace

std::vector<std::string> decodeScheduleText(std::string_view bytes) {
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts("\xFF\xFE")) return splitLines(utf16ToUtf8(bytes.substr(2), false));
    if (starts("\xFE\xFF")) return splitLines(utf16ToUtf8(bytes.substr(2), true));
    if (starts("\xEF\xBB\xBF")) return splitLines(untilNul(bytes.substr(3)));
    return splitLines(systemCodePageToUtf8(untilNul(bytes)));
}

std::string encodeScheduleText(const std::vector<std::string>& lines) {
    const std::string text = joinLines(lines);
    if (auto bytes = utf8ToSystemCodePage(text)) return std::move(*bytes);
    // A character the code page cannot hold would be lost (a path would no longer name
    // its file): such a file is written as UTF-8 with its mark, which reads back as is.
    return "\xEF\xBB\xBF" + text;
}

std::vector<std::string> loadScheduleFile(const std::filesystem::path& file) {
    auto refuse = [&](const std::string& reason) {
        return FileError("Cannot open file \"" + utf8(file) + "\". " + reason);
    };
    FileBytes read = readRegularFile(file, kLargestScheduleFile);
    if (!read.failure.empty()) throw refuse(read.failure);
    std::vector<std::string> lines = decodeScheduleText(read.bytes);
    // A schedule line is a path and a time; one this long is no schedule, and would
    // only cost the program its memory and its time.
    for (const auto& line : lines) {
        if (line.size() > kLongestScheduleLine) throw refuse("A line is longer than 64 KiB");
    }
    return lines;
}

std::string resolveSchedulePath(const std::filesystem::path& folder, const std::string& path) {
    if (path.empty()) return path;
    const std::filesystem::path p = std::filesystem::u8path(path);
    return p.is_absolute() ? path : utf8((folder / p).lexically_normal());
}

std::string makePlaylistLine(const std::string& path, const std::string& timeText) {
    return path + "|" + timeText;
}

std::pair<std::string, std::string> splitPlaylistLine(const std::string& line) {
    const auto bar = line.find('|');
    if (bar == std::string::npos) return {std::string(), line};
    return {line.substr(0, bar), line.substr(bar + 1)};
}

void saveSchedule(const std::filesystem::path& folder, const std::vector<std::string>& playlistLines,
                  std::vector<std::string>& paths, std::vector<std::string>& times) {
    paths.clear();
    times.clear();
    for (const auto& line : playlistLines) {
        auto [path, time] = splitPlaylistLine(line);
        paths.push_back(std::move(path));
        times.push_back(std::move(time));
    }
    // All three or none: files that disagree would list entries that never ring.
    const std::vector<FileReplacement> files{{folder / kPlaylistFile, encodeScheduleText(playlistLines)},
                                             {folder / kPathsFile, encodeScheduleText(paths)},
                                             {folder / kTimesFile, encodeScheduleText(times)}};
    if (const auto failure = replaceFiles(files)) {
        throw FileError("Cannot create file \"" + utf8(files[failure->index].file) + "\". " + failure->reason);
    }
}

}  // namespace tb
