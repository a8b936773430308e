#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tb {

// A path as UTF-8 text (on Windows the narrow string() would take the ANSI code page).
inline std::string utf8Text(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// Characters of UTF-8 text: every byte that is not a continuation byte starts one.
inline std::size_t utf8Characters(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// The first `count` characters of UTF-8 text, or all of it when it has fewer.
inline std::string_view utf8Prefix(std::string_view s, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && ++characters > count) return s.substr(0, i);
    }
    return s;
}

// The first character of UTF-8 text, with its continuation bytes.
inline std::string_view firstUtf8Character(std::string_view s) {
    if (s.empty()) return s;
    std::size_t n = 1;
    while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
    return s.substr(0, n);
}

// Whether bytes are well-formed UTF-8: no stray continuation byte, no sequence cut
// short, no overlong form, no surrogate, nothing beyond U+10FFFF.
inline bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // what the second byte may be
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;   // overlong
            if (c == 0xED) high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;   // overlong
            if (c == 0xF4) high = 0x8F;  // beyond U+10FFFF
        } else {
            return false;
        }
        if (i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if (k == 1 ? (b < low || b > high) : (b & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace tb
