#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tb::test {

// The system's words for the failures the tests provoke, as the program shows them:
// without trailing blanks, breaks and full stops.
#ifdef _WIN32
inline std::string systemReason(DWORD code) {
    wchar_t text[512];
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                     512, nullptr);
    std::string out;
    for (DWORD i = 0; i < n; ++i) {
        if (text[i] > 0x7F) return "(not ASCII: " + std::to_string(code) + ")";
        out += static_cast<char>(text[i]);
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\r' || out.back() == '\n' || out.back() == '.' ||
                            out.back() == '\t')) {
        out.pop_back();
    }
    return out;
}
inline std::string noSuchFile() { return systemReason(ERROR_FILE_NOT_FOUND); }
inline std::string noSuchFolder() { return systemReason(ERROR_PATH_NOT_FOUND); }
// Windows opens no folder as a file, and says so as a denied access.
inline std::string isFolder() { return systemReason(ERROR_ACCESS_DENIED); }
#else
inline std::string noSuchFile() { return "No such file or directory"; }
inline std::string noSuchFolder() { return "No such file or directory"; }
inline std::string isFolder() { return "Is a directory"; }
#endif
inline std::string tooLarge() { return "File too large"; }

}  // namespace tb::test
