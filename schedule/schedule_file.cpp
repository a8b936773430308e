#include "schedule/schedule_file.h"

#include "schedule/replace_file.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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

[[noreturn]] void fail(const char* what, const std::filesystem::path& file, int error) {
    throw FileError(std::string(what) + " \"" + file.string() + "\". " + systemErrorText(error));
}

class Fd final {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

}  // namespace

std::string systemErrorText(int error) {
    std::string text = std::error_code(error, std::generic_category()).message();
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' ||
                             text.back() == '.' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

std::vector<std::string> decodeScheduleText(std::string_view bytes) {
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts("\xFF\xFE")) return splitLines(utf16ToUtf8(bytes.substr(2), false));
    if (starts("\xFE\xFF")) return splitLines(utf16ToUtf8(bytes.substr(2), true));
    if (starts("\xEF\xBB\xBF")) return splitLines(untilNul(bytes.substr(3)));
    return splitLines(untilNul(bytes));
}

std::string encodeScheduleText(const std::vector<std::string>& lines) {
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

std::vector<std::string> loadScheduleFile(const std::filesystem::path& file) {
    // Not blocking: opening a FIFO would otherwise wait for a writer for ever.
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) fail("Cannot open file", file, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) fail("Cannot open file", file, errno);
    if (S_ISDIR(st.st_mode)) fail("Cannot open file", file, EISDIR);
    // A FIFO, a device or a socket never ends, or ends when it likes.
    if (!S_ISREG(st.st_mode)) throw FileError("Cannot open file \"" + file.string() + "\". Not a regular file");
    // Far more than a school's schedule ever holds; a file this big is not one.
    if (st.st_size > kLargestScheduleFile) fail("Cannot open file", file, EFBIG);

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Cannot open file", file, errno);
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > static_cast<std::size_t>(kLargestScheduleFile)) fail("Cannot open file", file, EFBIG);
    }
    return decodeScheduleText(bytes);
}

void saveScheduleFile(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    if (const int error = replaceFile(file, encodeScheduleText(lines))) fail("Cannot create file", file, error);
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
    saveScheduleFile(folder / kPlaylistFile, playlistLines);
    paths.clear();
    times.clear();
    for (const auto& line : playlistLines) {
        auto [path, time] = splitPlaylistLine(line);
        paths.push_back(std::move(path));
        times.push_back(std::move(time));
    }
    // Each file is replaced in one step, so there is no deletion before the write:
    // a failing write leaves the old file rather than none.
    saveScheduleFile(folder / kPathsFile, paths);
    saveScheduleFile(folder / kTimesFile, times);
}

}  // namespace tb
