#include "core/schedule/program_folder.h"

#include "tests/temp_dir.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char* name;
    const char* programIn;  // below the test's folder
    const char* installed;  // below the test's folder; nullptr: none recorded
    bool userFolderKnown;
    bool expectUserFolder;
};

// Installed, the program's folder is neither writable nor the user's: the schedule
// goes to the user's folder. Anywhere else it stays beside the program.
TEST(ScheduleFolder, InstalledProgramUsesTheUsersFolderOthersTheirOwn) {
    tb::test::TempDir dir;
    for (const char* folder : {"installed/sub", "installed-copy", "build"}) {
        std::filesystem::create_directories(dir / folder);
    }
    const std::filesystem::path user = dir / "user";
    const FolderCase cases[] = {
        {"installed", "installed", "installed", true, true},
        {"installed, recorded by another path", "installed", "build/../installed/", true, true},
#ifdef _WIN32
        {"installed, recorded in other case", "installed", "INSTALLED", true, true},
#else
        {"installed, started through a link", "linked", "installed", true, true},
#endif
        {"installed, no user folder known", "installed", "installed", false, false},
        {"build folder", "build", "installed", true, false},
        {"copy in a folder of a longer name", "installed-copy", "installed", true, false},
        {"copy in a folder below", "installed/sub", "installed", true, false},
        {"install folder gone", "build", "gone", true, false},
        {"no install recorded", "installed", nullptr, true, false},
    };
#ifndef _WIN32
    std::filesystem::create_directory_symlink(dir / "installed", dir / "linked");
#endif
    for (const auto& c : cases) {
        const std::filesystem::path program = dir.path() / c.programIn / "tollbrook";
        const std::filesystem::path installed = c.installed ? dir.path() / c.installed : std::filesystem::path();
        const std::filesystem::path expected = c.expectUserFolder ? user : program.parent_path();
        EXPECT_EQ(tb::scheduleFolder(program, installed, c.userFolderKnown ? user : std::filesystem::path()), expected)
            << c.name;
    }
}

TEST(SameFolder, ByTheFileSystemWhereBothExistElseByName) {
    tb::test::TempDir dir;
    std::filesystem::create_directory(dir / "a");
    EXPECT_TRUE(tb::sameFolder(dir / "a", dir.path() / "a" / "." / ""));
    EXPECT_FALSE(tb::sameFolder(dir / "a", dir.path()));
    EXPECT_TRUE(tb::sameFolder(dir / "gone", dir.path() / "a" / ".." / "gone"));
    EXPECT_FALSE(tb::sameFolder(dir / "gone", dir / "a"));
}

}  // namespace
