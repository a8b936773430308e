// What the fuzz targets share: a scratch folder of their own, and a property that
// does not hold ends the run with the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tb::fuzz {

// A folder for the files of one run, made once per process (in memory where /dev/shm is).
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string name = std::string(base) + "/tollbrook-fuzz.XXXXXX";
        if (mkdtemp(name.data()) == nullptr) std::abort();
        std::atexit([] { std::error_code ignored; std::filesystem::remove_all(scratchFolder(), ignored); });
        return std::filesystem::path(name);
    }();
    return folder;
}

inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

// Splits the input at the first `n - 1` occurrences of a separator byte into n parts.
inline std::string_view nextPart(std::string_view& rest, char separator) {
    const auto at = rest.find(separator);
    const std::string_view part = rest.substr(0, at);
    rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    return part;
}

}  // namespace tb::fuzz
