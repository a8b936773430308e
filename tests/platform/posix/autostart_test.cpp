#include "core/desktop/autostart.h"

#include "tests/temp_dir.h"
#include "tests/unprivileged.h"
#include "platform/posix/autostart_posix.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using tb::test::TempDir;

namespace {

TEST(AutostartExec, QuotesOnlyWhenTheFormatNeedsIt) {
    EXPECT_EQ(tb::execValueFor("/opt/tollbrook/tollbrook"), "/opt/tollbrook/tollbrook");
    EXPECT_EQ(tb::execValueFor("/opt/school bells/tollbrook"), "\"/opt/school bells/tollbrook\"");
    EXPECT_EQ(tb::execValueFor("/opt/100%/tollbrook"), "/opt/100%%/tollbrook");
    EXPECT_EQ(tb::execValueFor("/opt/a\"b/$x"), "\"/opt/a\\\\\"b/\\\\$x\"");
    for (const std::string path : {"/opt/tollbrook/tollbrook", "/opt/school bells/tollbrook", "/opt/100%/t",
                                   "/opt/a\"b/$x\\y", "/opt/\xE9" "cole/cloche"}) {
        EXPECT_EQ(tb::programFromExecValue(tb::execValueFor(path)), path);
    }
}

TEST(XdgAutostartEntry, WriteReadRemove) {
    TempDir dir;
    tb::XdgAutostart store(dir / "autostart");
    EXPECT_EQ(store.read(), "");
    store.write("/opt/school bells/tollbrook");
    EXPECT_EQ(store.entry(), dir / "autostart" / "velnorsoftsp.desktop");
    EXPECT_EQ(store.read(), "/opt/school bells/tollbrook");
    const std::string text = dir.read("autostart/velnorsoftsp.desktop");
    EXPECT_NE(text.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("Exec=\"/opt/school bells/tollbrook\"\n"), std::string::npos);
    // A string value, not a command line: no quotes, so a removed program is looked for by its path.
    EXPECT_NE(text.find("\nTryExec=/opt/school bells/tollbrook\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=org.tollbrook.Tollbrook\n"), std::string::npos);
    store.remove();
    EXPECT_EQ(store.read(), "");
    store.remove();  // nothing to remove: no error
}

TEST(AutostartExec, LaunchersTakePlainPathsOnly) {
    for (const std::string path : {"/opt/tollbrook/tollbrook", "/opt/school bells/t", "/home/a.b-c_d+e,f@g:h=i/t",
                                   "/opt/\xC3\xA9" "cole/t"}) {
        EXPECT_TRUE(tb::launchersTakePath(path)) << path;
    }
    for (const std::string path : {"/opt/100%/t", "/opt/a\"b/t", "/opt/a`b/t", "/opt/a$b/t", "/opt/a\\b/t",
                                   "/opt/o'clock/t", "/opt/a\tb/t", "/opt/a;b/t", "/opt/~/t"}) {
        EXPECT_FALSE(tb::launchersTakePath(path)) << path;
    }
}

TEST(XdgAutostartEntry, PathTheLaunchersCannotTakeGoesThroughALink) {
    TempDir dir;
    tb::XdgAutostart store(dir / "autostart");
    const std::string program = (dir / "100%f" / "tollbrook").string();
    store.write(program);
    EXPECT_EQ(std::filesystem::read_symlink(store.link()), program);
    for (const char* key : {"\nExec=", "\nTryExec="}) {
        EXPECT_NE(dir.read("autostart/velnorsoftsp.desktop").find(key + store.link().string() + "\n"),
                  std::string::npos);
    }
    EXPECT_EQ(store.read(), program);
    store.write("/opt/tollbrook/tollbrook");  // a plain path needs no link, and the old one goes
    EXPECT_FALSE(std::filesystem::is_symlink(store.link()));
    EXPECT_EQ(store.read(), "/opt/tollbrook/tollbrook");
    store.write(program);
    store.remove();
    EXPECT_FALSE(std::filesystem::is_symlink(store.link()));
    EXPECT_EQ(store.read(), "");
}

TEST(XdgAutostartEntry, HiddenOrEmptyEntryCountsAsOff) {
    TempDir dir;
    std::filesystem::create_directories(dir / "autostart");
    tb::XdgAutostart store(dir / "autostart");
    dir.write("autostart/velnorsoftsp.desktop", "[Desktop Entry]\nType=Application\nExec=/a/b\nHidden=true\n");
    EXPECT_EQ(store.read(), "");
    dir.write("autostart/velnorsoftsp.desktop", "[Desktop Entry]\r\nType=Application\r\nExec=\r\n");
    EXPECT_EQ(store.read(), "");
    dir.write("autostart/velnorsoftsp.desktop", "# by hand\n[Other]\nExec=/x\n[Desktop Entry]\nExec = /a/b\n");
    EXPECT_EQ(store.read(), "/a/b");
}

TEST(XdgAutostartEntry, WhatIsNotAnEntryIsAnInvalidType) {
    TempDir dir;
    std::filesystem::create_directories(dir / "autostart");
    tb::XdgAutostart store(dir / "autostart");
    dir.write("autostart/velnorsoftsp.desktop", "\x01\x02 binary");
    EXPECT_THROW(
        {
            try {
                store.read();
            } catch (const tb::AutostartError& e) {
                EXPECT_EQ(e.what(), "Invalid data type for 'velnorsoftsp'. \"" + store.entry().string() +
                                        "\" is not a desktop entry");
                throw;
            }
        },
        tb::AutostartError);
}

// Each failure names the file and the reason, and nothing is written elsewhere instead:
// not at "/.config" without a home.
TEST(XdgAutostartEntry, FailureToSetNamesTheFileAndTheReason) {
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::create_directories(dir / "locked");
    std::filesystem::permissions(dir / "locked", std::filesystem::perms(0555));
    dir.write("file", "");
    std::filesystem::create_symlink(dir / "loop", dir / "loop");
    const struct {
        std::filesystem::path folder;
        std::string detail;
    } cases[] = {
        {dir / "locked", "Cannot create \"" + (dir / "locked" / "velnorsoftsp.desktop").string() + "\": Permission denied"},
        {dir / "file" / "autostart", "Cannot create the folder \"" + (dir / "file" / "autostart").string() +
                                         "\": Not a directory"},
        {dir / "loop" / "autostart", "Cannot create the folder \"" + (dir / "loop" / "autostart").string() +
                                         "\": Too many levels of symbolic links"},
        {{}, "No home folder is known to keep the entry in: HOME is not set, and the account names none"},
    };
    for (const auto& c : cases) {
        const std::string outcome = tb::test::withoutPrivileges([&] {
            try {
                tb::XdgAutostart(c.folder).write("/opt/tollbrook/tollbrook");
                return std::string("written");
            } catch (const tb::AutostartError& e) {
                return std::string(e.what());
            }
        });
        EXPECT_EQ(outcome, "Failed to set data for 'velnorsoftsp'. " + c.detail);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "locked" / "velnorsoftsp.desktop"));
    EXPECT_EQ(tb::XdgAutostart(std::filesystem::path()).read(), "");
}

TEST(XdgAutostartEntry, UnreadableEntryFailsToGet) {
    TempDir dir;
    std::filesystem::create_directories(dir / "autostart");
    dir.write("autostart/velnorsoftsp.desktop", "[Desktop Entry]\nExec=/a\n");
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(dir / "autostart", std::filesystem::perms(0755));
    ::chmod((dir / "autostart" / "velnorsoftsp.desktop").c_str(), 0);
    const std::string outcome = tb::test::withoutPrivileges([&] {
        try {
            return tb::XdgAutostart(dir / "autostart").read();
        } catch (const tb::AutostartError& e) {
            return std::string(e.what());
        }
    });
    EXPECT_EQ(outcome, "Failed to get data for 'velnorsoftsp'. Cannot read \"" +
                           (dir / "autostart" / "velnorsoftsp.desktop").string() + "\": Permission denied");
}

}  // namespace
