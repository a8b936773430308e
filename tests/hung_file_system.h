#pragma once

#include "tests/temp_dir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tb::test {

// A folder on a file system whose reads never answer (tests/hung_file_system.py over
// FUSE): playlist.ini, qian.ini, hou.ini and bell.wav are there, and reading any of
// them hangs. Unmounted when the object goes.
class HungFileSystem final {
public:
    HungFileSystem() {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl("/usr/bin/python3", "python3", TOLLBROOK_SOURCE_DIR "/tests/hung_file_system.py",
                    mount_.path().c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Mounted once the folder is on another device than its parent.
        struct stat parent {}, here {};
        ::stat(mount_.path().parent_path().c_str(), &parent);
        for (int i = 0; i < 100; ++i) {
            if (::stat(mount_.path().c_str(), &here) == 0 && here.st_dev != parent.st_dev) {
                mounted_ = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~HungFileSystem() {
        const std::string unmount = "fusermount3 -u -z '" + mount_.path().string() + "' 2>/dev/null";
        (void)!std::system(unmount.c_str());
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    HungFileSystem(const HungFileSystem&) = delete;
    HungFileSystem& operator=(const HungFileSystem&) = delete;

    // False when FUSE is not there (scripts/install-deps.sh installs fuse3 and fusepy).
    bool mounted() const { return mounted_; }
    std::filesystem::path operator/(const std::string& name) const { return mount_ / name; }
    const std::filesystem::path& path() const { return mount_.path(); }

private:
    TempDir mount_;
    pid_t pid_ = -1;
    bool mounted_ = false;
};

}  // namespace tb::test
