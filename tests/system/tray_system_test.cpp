// The real program in an X11 notification area (trayer) under a window manager: the
// icon docks, the window goes to the tray and comes back, the icon survives a panel
// restart, and Exit from the tray menu leaves no icon behind.
#include "tests/schedule_fixture.h"
#include "tests/system/program_runner.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
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

    std::string display;
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
