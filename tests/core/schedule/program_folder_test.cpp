#include "core/schedule/program_folder.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char* name;
    const char* executable;
    std::optional<std::string> xdgConfigHome;
    const char* expected;
};

// Installed, the program's folder is neither writable nor the user's: the schedule
// goes to the user's config folder. Anywhere else it stays beside the program.
TEST(ScheduleFolder, InstalledProgramUsesTheConfigFolderOthersTheirOwn) {
    const FolderCase cases[] = {
        {"installed", "/usr/bin/tollbrook", std::string("/home/ann/.cfg"), "/home/ann/.cfg/tollbrook"},
        {"installed, no XDG_CONFIG_HOME", "/usr/bin/tollbrook", std::nullopt, "/home/ann/.config/tollbrook"},
        {"installed, empty XDG_CONFIG_HOME", "/usr/bin/tollbrook", std::string(), "/home/ann/.config/tollbrook"},
        {"installed, relative XDG_CONFIG_HOME", "/usr/bin/tollbrook", std::string("cfg"), "/home/ann/.config/tollbrook"},
        {"installed, by another path", "/usr/lib/../bin/tollbrook", std::string("/c"), "/c/tollbrook"},
        {"build folder", "/home/ann/src/tollbrook/build/tollbrook", std::string("/c"), "/home/ann/src/tollbrook/build"},
        {"copied folder", "/srv/bells/tollbrook", std::string("/c"), "/srv/bells"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tb::scheduleFolder(c.executable, "/usr/bin", c.xdgConfigHome, std::string("/home/ann")),
                  std::filesystem::path(c.expected))
            << c.name;
    }
}

}  // namespace
