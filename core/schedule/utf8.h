#pragma once

#include <cstddef>
#include <string_view>

namespace tb {

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

}  // namespace tb
