#include "core/process.h"
#include "core/schedule/clock.h"
#include "core/util/file_replacement.h"
#include "core/util/file_system.h"
#include "tests/system_reasons.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// Runs `exe` and waits for it; its exit code, or minus the error when it did not start.
long run(const std::filesystem::path& exe) {
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -static_cast<long>(::GetLastError());
    ::WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// The schedule lives beside the program, wherever a school put it: in a folder with a
// name in its own script and of the greatest length Windows starts a program from
// (CreateProcessW takes no executable path of MAX_PATH characters or more).
TEST(ExecutablePath, NamesTheProgramInALongNonAsciiFolder) {
    tb::test::TempDir dir;
    std::filesystem::path folder = dir.path() / std::filesystem::u8path("Glocken-\xC3\xA9t\xC3\xA9-\xE9\x93\x83\xE5\xA3\xB0");
    const std::wstring step = L"schulglocken";
    const std::size_t room = MAX_PATH - 1 - std::wstring(L"\\tollbrook.exe").size();
    while (folder.native().size() + 1 + step.size() <= room) folder /= step;
    folder += std::wstring(room - folder.native().size(), L'x');
    std::filesystem::create_directories(folder);
    const std::filesystem::path probe = tb::executablePath().parent_path() / L"tb_exe_path_probe.exe";
    ASSERT_TRUE(std::filesystem::exists(probe)) << utf8(probe);
    const std::filesystem::path copy = folder / L"tollbrook.exe";
    std::filesystem::copy_file(probe, copy);
    ASSERT_EQ(run(copy), 0) << utf8(copy);
    std::ifstream in(folder / L"exe-path.txt", std::ios::binary);
    const std::string said((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(said, utf8(copy));
    EXPECT_EQ(copy.native().size(), static_cast<std::size_t>(MAX_PATH - 1));
}

// The wall clock's local time is the system's; the steady clock counts milliseconds
// since the system started.
TEST(WindowsClock, LocalTimeIsTheSystemsAndSteadyCountsMilliseconds) {
    tb::SystemClock clock;
    SYSTEMTIME system{};
    ::GetLocalTime(&system);
    const tb::TimeOfDay local = clock.localTime(clock.nowMs());
    const int a = system.wHour * 3600 + system.wMinute * 60 + system.wSecond;
    const int b = local.hour * 3600 + local.minute * 60 + local.second;
    const int apart = (b - a + 86400) % 86400;
    EXPECT_LE(apart, 1) << "GetLocalTime " << a << " s, SystemClock " << b << " s";
    const std::int64_t s0 = clock.steadyMs();
    const std::int64_t tick = static_cast<std::int64_t>(::GetTickCount64());
    EXPECT_LE(std::llabs(tick - s0), 1000);
    ::Sleep(50);
    EXPECT_GE(clock.steadyMs() - s0, 40);
}

TEST(WindowsProcess, NoSystemBoxForADriveWithoutItsMedium) {
    ::SetErrorMode(0);
    tb::initProcess();
    EXPECT_EQ(::GetErrorMode() & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

TEST(WindowsFiles, WhatAPathNamesAndWhatItsFolderLists) {
    tb::test::TempDir dir;
    dir.write("qian.ini", "");
    std::filesystem::create_directory(dir / "sub");
    EXPECT_EQ(tb::pathKind(dir / "qian.ini"), tb::PathKind::Regular);
    EXPECT_EQ(tb::pathKind(dir / "QIAN.INI"), tb::PathKind::Regular);
    EXPECT_EQ(tb::pathKind(dir / "sub"), tb::PathKind::Folder);
    EXPECT_EQ(tb::pathKind(dir / "gone.ini"), tb::PathKind::Missing);
    EXPECT_EQ(tb::pathKind(dir / "gone" / "gone.ini"), tb::PathKind::Missing);
    EXPECT_EQ(tb::listedAsNonFolder(dir / "Qian.ini"), std::optional<bool>(true));
    EXPECT_EQ(tb::listedAsNonFolder(dir / "sub"), std::optional<bool>(false));
    EXPECT_EQ(tb::listedAsNonFolder(dir / "gone.ini"), std::optional<bool>(false));
    EXPECT_EQ(tb::listedAsNonFolder(dir / "gone" / "x.ini"), std::nullopt);
}

// The files are replaced all together: a file that cannot be replaced (held open by
// another program without sharing, or read-only, which Windows does not write) leaves
// every file, its attributes and the folder as they were.
TEST(WindowsFiles, ReplaceIsAllOrNothing) {
    tb::test::TempDir dir;
    dir.write("a.ini", "old a");
    dir.write("b.ini", "old b");
    const auto journal = dir / "journal";
    const HANDLE held = ::CreateFileW((dir / "b.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::vector<tb::FileReplacement> three{{dir / "a.ini", "new a"}, {dir / "b.ini", "new b"}, {dir / "c.ini", "new c"}};
    auto failure = tb::replaceFiles(three, journal);
    ::CloseHandle(held);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->file, dir / "b.ini");
    EXPECT_FALSE(failure->reason.empty());

    ASSERT_TRUE(::SetFileAttributesW((dir / "b.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    failure = tb::replaceFiles(three, journal);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->file, dir / "b.ini");
    EXPECT_EQ(failure->reason, tb::test::systemReason(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(::GetFileAttributesW((dir / "b.ini").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(dir.read("a.ini"), "old a");
    EXPECT_EQ(dir.read("b.ini"), "old b");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2u);

    ASSERT_TRUE(::SetFileAttributesW((dir / "b.ini").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(tb::replaceFiles({{dir / "a.ini", "new a"}, {dir / "c.ini", "new c"}}, journal), std::nullopt);
    EXPECT_EQ(dir.read("a.ini"), "new a");
    EXPECT_EQ(dir.read("c.ini"), "new c");
}

}  // namespace
