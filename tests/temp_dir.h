#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <random>
#else
#include <unistd.h>
#endif

namespace tb::test {

// A fresh folder under the system's temporary folder, removed again with the object.
class TempDir final {
public:
    TempDir() {
#ifdef _WIN32
        // No mkdtemp: a random name, taken only if no folder had it.
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (;;) {
            path_ = std::filesystem::temp_directory_path() / ("tollbrook-" + std::to_string(random() % 1000000000u));
            if (std::filesystem::create_directory(path_)) break;
        }
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "tollbrook-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
#endif
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void write(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

}  // namespace tb::test
