#pragma once

#include "schedule/locale_settings.h"
#include "schedule/time_text.h"
#include "tests/temp_dir.h"

#include <chrono>
#include <clocale>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tb::test {

using namespace std::chrono_literals;

// Renders a wall-clock second as the program will, in the same locale.
inline std::string timeText(std::chrono::system_clock::time_point t) {
    std::setlocale(LC_ALL, "");
    tb::PosixLocaleSource source;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return tb::LongTimeFormat(source.read()).render({local.tm_hour, local.tm_min, local.tm_sec, 0});
}

// The real program, started in a process of its own on the given X display, with
// another current folder than its own; ended when the object goes.
class Program {
public:
    Program(const std::filesystem::path& executable, const std::string& display) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("DISPLAY", display.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            // Another current folder: the schedule is found beside the program.
            if (::chdir("/") != 0) ::_exit(126);
            ::execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(100ms);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// A copy of the program in `dir`, which others may enter (the tests drop privileges).
inline void installProgram(const std::filesystem::path& executable, const TempDir& dir) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::copy_file(executable, dir / "tollbrook");
}

}  // namespace tb::test
