#pragma once

// JSON as the probe prints it: ASCII only (every other character escaped), so that no
// code page stands between Wine's console and the test that reads it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tb::probe {

inline std::string str(std::wstring_view text) {
    std::string out = "\"";
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        }
    }
    return out + "\"";
}

inline std::string num(long long value) { return std::to_string(value); }
inline std::string boolean(bool value) { return value ? "true" : "false"; }
inline std::string handle(const void* h) {
    char text[24];
    std::snprintf(text, sizeof text, "\"%#llx\"", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
    return text;
}
inline std::string rect(const RECT& r) {
    return "[" + num(r.left) + "," + num(r.top) + "," + num(r.right) + "," + num(r.bottom) + "]";
}
inline std::string array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const auto& item : items) out += (out.size() > 1 ? "," : "") + item;
    return out + "]";
}

// An object built member by member; values are JSON already.
class Object final {
public:
    Object& add(const char* key, const std::string& value) {
        body_ += (body_.empty() ? "\"" : ",\"") + std::string(key) + "\":" + value;
        return *this;
    }
    std::string str() const { return "{" + body_ + "}"; }

private:
    std::string body_;
};

}  // namespace tb::probe
