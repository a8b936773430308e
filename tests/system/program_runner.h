#pragma once

#include "core/schedule/locale_settings.h"
#include "core/schedule/time_text.h"
#include "tests/temp_dir.h"
#include "platform/posix/locale_source_posix.h"

#include <chrono>
#include <clocale>
#include <cstdio>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <utility>
#include <vector>
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
    Program(const std::filesystem::path& executable, const std::string& display,
            const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        pid_ = ::fork();
        if (pid_ == 0) {
            for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
            ::setenv("DISPLAY", display.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            // Another current folder: the schedule is found beside the program.
            if (::chdir("/") != 0) ::_exit(126);
            ::execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program() {
        if (pid_ <= 0 || status_) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(100ms);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    bool running() {
        if (pid_ <= 0 || status_) return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
        status_ = status;
        return false;
    }
    // How the process ended (waitpid's status), once it has; waits at most `limit`.
    std::optional<int> ended(std::chrono::milliseconds limit) {
        for (auto waited = 0ms; running() && waited < limit; waited += 50ms) std::this_thread::sleep_for(50ms);
        return status_;
    }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// What a shell command printed, without its last line break.
inline std::string output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[512];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
        ::pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

// Whether `done` comes true within `limit`, asked every 100 ms.
inline bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

// Drives windows on the test display with xdotool, as a user would.
class Desktop {
public:
    explicit Desktop(std::string display) : display_(std::move(display)) {}
    // xdotool with these arguments; what it printed.
    std::string xdo(const std::string& arguments) const {
        return output("DISPLAY=" + display_ + " xdotool " + arguments + " 2>/dev/null");
    }
    // The first shown window whose name matches, waiting for it at most `seconds`.
    std::string window(const std::string& namePattern, int seconds = 10) const {
        const std::string found = output("DISPLAY=" + display_ + " timeout " + std::to_string(seconds) +
                                         " xdotool search --sync --onlyvisible --name '" + namePattern + "' 2>/dev/null");
        return found.substr(0, found.find('\n'));
    }
    // Brings a window to the front and clicks at a point of it.
    void clickIn(const std::string& window, int x, int y) const {
        xdo("windowactivate --sync " + window);
        xdo("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    void keys(const std::string& names) const { xdo("key --delay 60 " + names); }
    // The name of the window that has the keyboard focus now.
    std::string activeName() const { return xdo("getactivewindow getwindowname"); }
    // Waits until a window of this name (a box the last keys opened) has the focus.
    bool focusGoesTo(const std::string& name) const {
        return eventually([&] { return activeName() == name; });
    }
    // The playlist editor, opened from the main window's menu as a user does; empty, with
    // what did not show on the error stream, when it did not open.
    std::string openEditor() const {
        const std::string main = window("^Tollbrook$");
        if (main.empty()) {
            std::fprintf(stderr, "the main window did not show\n");
            return {};
        }
        xdo("windowactivate --sync " + main);
        keys("alt+o e");
        const std::string editor = window("^Edit Playlist$");
        if (editor.empty()) std::fprintf(stderr, "the editor did not open\n");
        return editor;
    }
    void type(const std::string& text) const { xdo("type --delay 20 '" + text + "'"); }

private:
    std::string display_;
};

// A copy of the program in `dir`, which others may enter (the tests drop privileges).
inline void installProgram(const std::filesystem::path& executable, const TempDir& dir) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::copy_file(executable, dir / "tollbrook");
}

}  // namespace tb::test
