// The real program in an X11 notification area (trayer) under a window manager: the
// icon docks, the window goes to the tray and comes back, the icon survives a panel
// restart, and Exit from the tray menu leaves no icon behind. A second start on the
// same schedule folder brings the running copy's window back and ends; one on another
// folder runs beside it; a copy that was killed does not stop the next start.
#include "tests/schedule_fixture.h"
#include "tests/system/program_runner.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

using tb::test::eventually;

// An XEmbed notification area of its own at the bottom right of the test display.
class Panel {
public:
    explicit Panel(const std::string& display) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("DISPLAY", display.c_str(), 1);
            ::execlp("trayer", "trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request", "--height",
                     "24", "--SetDockType", "true", "--transparent", "false", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Panel() { stop(); }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

class TraySystem : public ::testing::Test {
protected:
    void SetUp() override {
        const char* d = std::getenv("TOLLBROOK_TEST_DISPLAY");
        if (d == nullptr) GTEST_SKIP() << "run through scripts/test.sh for an X server";
        display = d;
    }
    std::string x(const std::string& command) const { return tb::test::output("DISPLAY=" + display + " " + command); }
    // The program's icon in the panel, if it has docked there.
    std::string icon() const {
        const std::string panel = x("xdotool search --name '^panel$' 2>/dev/null | head -n1");
        if (panel.empty()) return {};
        return x("xwininfo -tree -id " + panel + " 2>/dev/null | grep '\"Tollbrook\"' | awk '{print $1}' | head -n1");
    }
    bool mapped(const std::string& window) const {
        return x("xwininfo -id " + window + " 2>/dev/null | grep -c IsViewable") == "1";
    }
    bool minimized(const std::string& window) const {
        return x("xprop -id " + window + " _NET_WM_STATE 2>/dev/null").find("HIDDEN") != std::string::npos;
    }
    // Clicks the icon with a mouse button, `times` times in a row.
    void clickIcon(int button, int times) const {
        const std::string where = x("xdotool getwindowgeometry --shell " + icon());
        const auto value = [&](const char* key) {
            const auto at = where.find(key);
            return std::stoi(where.substr(at + std::string(key).size()));
        };
        x("xdotool mousemove " + std::to_string(value("X=") + 10) + " " + std::to_string(value("Y=") + 10) +
          " click --repeat " + std::to_string(times) + " --delay 80 " + std::to_string(button));
    }

    // The program's windows on the screen; its menus are windows of their own.
    int shownWindows() const {
        return std::stoi("0" + x("xdotool search --onlyvisible --class '^tollbrook$' 2>/dev/null | wc -l"));
    }
    // Opens the icon's menu with the right button; whether it showed.
    bool openIconMenu() const {
        const int before = shownWindows();
        clickIcon(3, 1);
        return eventually([&] { return shownWindows() > before; });
    }
    // A runtime folder of the test's own, as the session gives each user one.
    std::vector<std::pair<std::string, std::string>> session() {
        std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
        return {{"XDG_RUNTIME_DIR", runtime.path().string()}};
    }
    std::size_t shownMainWindows() const {
        const std::string found = x("xdotool search --onlyvisible --name '^Tollbrook$' 2>/dev/null");
        return found.empty() ? 0 : static_cast<std::size_t>(std::count(found.begin(), found.end(), '\n')) + 1;
    }

    std::string display;
    tb::test::TempDir runtime;
};

TEST_F(TraySystem, WindowGoesToTheTrayComesBackAndExitLeavesNoIcon) {
    tb::test::TempDir dir;
    tb::test::installProgram(TOLLBROOK_EXECUTABLE, dir);
    tb::test::writeSchedule(dir.path(), {});
    auto panel = std::make_unique<Panel>(display);
    tb::test::Program program(dir / "tollbrook", display);
    const tb::test::Desktop desktop(display);

    const std::string main = desktop.window("^Tollbrook$");
    ASSERT_FALSE(main.empty()) << "the main window did not show";
    ASSERT_TRUE(eventually([&] { return !icon().empty(); })) << "the icon did not dock in the panel";

    // Minimized, the window leaves the screen and the taskbar; the icon stays.
    x("xdotool windowminimize " + main);
    ASSERT_TRUE(eventually([&] { return !mapped(main); })) << "the minimized window is still mapped";
    EXPECT_FALSE(icon().empty());
    clickIcon(1, 2);
    ASSERT_TRUE(eventually([&] { return mapped(main); })) << "a double click did not bring the window back";
    EXPECT_FALSE(minimized(main)) << "the window came back minimized";

    // The menu on the right button: "Restore window" is its first item.
    x("xdotool windowminimize " + main);
    ASSERT_TRUE(eventually([&] { return !mapped(main); }));
    ASSERT_TRUE(openIconMenu()) << "the icon's menu did not open";
    desktop.keys("Down Return");
    ASSERT_TRUE(eventually([&] { return mapped(main); })) << "\"Restore window\" did not bring the window back";

    // A new panel after the old one went away: the icon docks again by itself.
    panel->stop();
    panel = std::make_unique<Panel>(display);
    ASSERT_TRUE(eventually([&] { return !icon().empty(); })) << "the icon did not come back to the new panel";

    // "Exit" is the menu's last item; answered Yes, the program ends and takes its icon.
    ASSERT_TRUE(openIconMenu()) << "the icon's menu did not open";
    desktop.keys("Up Return");
    ASSERT_FALSE(desktop.window("^exit", 5).empty()) << "no exit question";
    desktop.keys("Return");
    EXPECT_TRUE(eventually([&] { return !program.running(); })) << "the program did not end";
    EXPECT_TRUE(icon().empty()) << "an icon was left in the panel";
}

}  // namespace

namespace {

TEST_F(TraySystem, SecondStartOnTheSameFolderBringsTheWindowBackFromTheTrayAndEnds) {
    tb::test::TempDir dir;
    tb::test::installProgram(TOLLBROOK_EXECUTABLE, dir);
    tb::test::writeSchedule(dir.path(), {});
    Panel panel(display);
    tb::test::Program first(dir / "tollbrook", display, session());
    const tb::test::Desktop desktop(display);
    const std::string main = desktop.window("^Tollbrook$");
    ASSERT_FALSE(main.empty()) << "the main window did not show";
    ASSERT_TRUE(eventually([&] { return !icon().empty(); })) << "the icon did not dock in the panel";

    tb::test::TempDir otherDir;
    for (const char* from : {"tray", "minimized", "behind another window"}) {
        std::unique_ptr<tb::test::Program> other;
        if (std::string(from) == "tray") {
            x("xdotool windowminimize " + main);
            ASSERT_TRUE(eventually([&] { return !mapped(main); })) << "the window did not go to the tray";
        } else if (std::string(from) == "minimized") {
            panel.stop();  // without a notification area minimizing stays a minimize
            x("xdotool windowminimize " + main);
            ASSERT_TRUE(eventually([&] { return minimized(main); })) << "the window was not minimized";
        } else {
            // The window of a copy on another folder, active over it.
            tb::test::installProgram(TOLLBROOK_EXECUTABLE, otherDir);
            tb::test::writeSchedule(otherDir.path(), {});
            other = std::make_unique<tb::test::Program>(otherDir / "tollbrook", display, session());
            ASSERT_TRUE(eventually([&] { return shownMainWindows() == 2; }));
            const std::string over = x("xdotool search --onlyvisible --name '^Tollbrook$' | grep -v " + main);
            x("xdotool windowactivate --sync " + over);
            ASSERT_TRUE(eventually([&] { return x("xdotool getactivewindow") != main; }));
        }
        tb::test::Program second(dir / "tollbrook", display, session());
        const auto ended = second.ended(20s);
        ASSERT_TRUE(ended.has_value()) << from << ": the second start did not end";
        EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << from << ": it ended with " << *ended;
        EXPECT_TRUE(eventually([&] { return mapped(main) && !minimized(main); })) << from << ": the window is not back";
        EXPECT_TRUE(eventually([&] { return x("xdotool getactivewindow") == main; })) << from << ": not active";
        EXPECT_TRUE(first.running());
        EXPECT_EQ(shownMainWindows(), other ? 2u : 1u) << from;
    }
}

TEST_F(TraySystem, OneOfTwoStartsAtOnceRunsOtherFoldersRunBesideAndAKilledCopyStopsNoStart) {
    tb::test::TempDir a, b;
    for (const auto* dir : {&a, &b}) {
        tb::test::installProgram(TOLLBROOK_EXECUTABLE, *dir);
        tb::test::writeSchedule(dir->path(), {});
    }
    // Two starts at once (at logon and by hand): one runs, the other hands over to it.
    {
        tb::test::Program one(a / "tollbrook", display, session()), two(a / "tollbrook", display, session());
        ASSERT_TRUE(eventually([&] { return !one.running() || !two.running(); }, 20s)) << "both starts run";
        const auto ended = one.running() ? two.ended(0ms) : one.ended(0ms);
        EXPECT_TRUE(WIFEXITED(*ended) && WEXITSTATUS(*ended) == 0) << *ended;
        EXPECT_TRUE(one.running() || two.running()) << "neither start runs";
        EXPECT_TRUE(eventually([&] { return shownMainWindows() == 1; }));
    }
    ASSERT_TRUE(eventually([&] { return shownMainWindows() == 0; }));
    auto first = std::make_unique<tb::test::Program>(a / "tollbrook", display, session());
    ASSERT_TRUE(eventually([&] { return shownMainWindows() == 1; })) << "the first copy did not show";
    tb::test::Program beside(b / "tollbrook", display, session());
    EXPECT_TRUE(eventually([&] { return shownMainWindows() == 2; })) << "the copy on another folder did not show";
    EXPECT_TRUE(first->running() && beside.running());

    // Killed outright, the first copy leaves its socket behind; the next start runs.
    ::kill(first->pid(), SIGKILL);
    ASSERT_TRUE(first->ended(10s).has_value());
    first.reset();
    ASSERT_TRUE(eventually([&] { return shownMainWindows() == 1; }));
    tb::test::Program again(a / "tollbrook", display, session());
    EXPECT_TRUE(eventually([&] { return shownMainWindows() == 2; })) << "a killed copy stopped the next start";
    EXPECT_TRUE(again.running());
}

}  // namespace
