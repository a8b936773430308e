#include "core/schedule/schedule_text.h"

#include "core/util/file_system.h"
#include "core/util/utf8.h"

namespace tb {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

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

// UTF-16 to UTF-8 up to the first NUL, which sets `nul`; an unpaired surrogate becomes
// U+FFFD and an odd last byte is dropped.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian, bool& nul) {
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
        if (u == 0) {
            nul = true;
            break;
        }
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

bool startsWithMark(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") || bytes.starts_with(kUtf8Mark);
}

// The lines of a text, and the line in which a NUL that followed it stood.
ScheduleText linesOf(std::string_view text, bool endedByNul) {
    ScheduleText out{splitLines(text), std::nullopt};
    if (endedByNul) {
        const bool afterBreak = !text.empty() && (text.back() == '\r' || text.back() == '\n');
        out.endedAtNul = out.lines.size() + (afterBreak || text.empty() ? 1 : 0);
    }
    return out;
}

ScheduleText untilNul(std::string_view bytes, bool convert) {
    const auto nul = bytes.find('\0');
    const std::string_view text = nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
    if (!convert) return linesOf(text, nul != std::string_view::npos);
    return linesOf(systemCodePageToUtf8(text), nul != std::string_view::npos);
}

}  // namespace

ScheduleText decodeScheduleText(std::string_view bytes) {
    for (const bool bigEndian : {false, true}) {
        if (bytes.starts_with(bigEndian ? "\xFE\xFF" : "\xFF\xFE")) {
            bool nul = false;
            const std::string text = utf16ToUtf8(bytes.substr(2), bigEndian, nul);
            return linesOf(text, nul);
        }
    }
    if (bytes.starts_with(kUtf8Mark)) return untilNul(bytes.substr(kUtf8Mark.size()), false);
    // Without a mark: UTF-8 when the whole file is (Notepad saves so), else the system's
    // code page. Text in a code page other than UTF-8 that holds any byte beyond ASCII is
    // hardly ever well-formed UTF-8 by chance, and what this program writes never is.
    return untilNul(bytes, !isUtf8(bytes));
}

std::string encodeScheduleText(const std::vector<std::string>& lines) {
    const std::string text = joinLines(lines);
    // Without a mark only what reads back as it was written: a text the code page can
    // hold, whose bytes neither begin like a mark nor, changed by the code page, happen
    // to be well-formed UTF-8. Anything else goes as UTF-8 with its mark (a character the
    // code page lacks would otherwise be lost, and a path would no longer name its file).
    const auto bytes = utf8ToSystemCodePage(text);
    if (bytes && !startsWithMark(*bytes) && (*bytes == text || !isUtf8(*bytes))) return *bytes;
    return std::string(kUtf8Mark) + text;
}

}  // namespace tb
