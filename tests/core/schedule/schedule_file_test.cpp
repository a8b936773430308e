#include "core/process.h"
#include "core/util/file_system.h"
#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_reader.h"
#include "tests/system_reasons.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include "tests/hung_file_system.h"
#include "tests/unprivileged.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

using namespace std::string_literals;
using tb::test::TempDir;
using Lines = std::vector<std::string>;

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    Lines lines;
    std::optional<std::size_t> endedAtNul = std::nullopt;
    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

class ScheduleTextDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(ScheduleTextDecode, ReadsLinesAsWritten) {
    const tb::ScheduleText read = tb::decodeScheduleText(GetParam().bytes);
    EXPECT_EQ(read.lines, GetParam().lines);
    EXPECT_EQ(read.endedAtNul, GetParam().endedAtNul);
}

#ifdef _WIN32
// In the ANSI code page: the Windows tests run with code page 1252.
const DecodeCase kWithoutMark{"NotUtf8WithoutMarkIsInTheCodePage", "/m/\xE9t\xE9.mp3\r\n", {"/m/\xC3\xA9t\xC3\xA9.mp3"}};
#else
const DecodeCase kWithoutMark{"NotUtf8WithoutMarkKeptAsItIs", "/m/\xE9t\xE9.mp3\r\n", {"/m/\xE9t\xE9.mp3"}};
#endif

INSTANTIATE_TEST_SUITE_P(
    LineEndsMarksAndNul, ScheduleTextDecode,
    ::testing::Values(
        DecodeCase{"Empty", "", {}},
        DecodeCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        DecodeCase{"LastLineWithoutBreak", "a\r\nb", {"a", "b"}},
        DecodeCase{"LfOnly", "a\nb\n", {"a", "b"}},
        DecodeCase{"CrOnly", "a\rb\r", {"a", "b"}},
        DecodeCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
        DecodeCase{"TwoBreaksAtEndAddOneEmptyEntry", "a\r\n\r\n", {"a", ""}},
        DecodeCase{"OnlyABreak", "\r\n", {""}},
        DecodeCase{"EmptyLinesInsideAreEntries", "a\r\n\r\n\r\nb", {"a", "", "", "b"}},
        DecodeCase{"BlanksAndBarsKept", " a |8:00:00 \r\n|\r\n", {" a |8:00:00 ", "|"}},
        DecodeCase{"CrCrLfIsTwoBreaks", "a\r\r\nb\r\n", {"a", "", "b"}},
        DecodeCase{"NulEndsText", "a\r\nb\0c\r\nd"s, {"a", "b"}, 2},
        DecodeCase{"NulAfterABreakIsInTheNextLine", "a\r\n\0b\r\n"s, {"a"}, 2},
        DecodeCase{"Utf8MarkSkipped", "\xEF\xBB\xBF/m/\xC3\xA9t\xC3\xA9.mp3|8:00:00\r\n", {"/m/\xC3\xA9t\xC3\xA9.mp3|8:00:00"}},
        // Notepad's UTF-8, without a mark: the whole file is well-formed UTF-8.
        DecodeCase{"Utf8WithoutMark", "/m/caf\xC3\xA9.wav\r\n/m/\xD0\xB7\xD0\xB2\xD0\xBE\xD0\xBD\xD0\xBE\xD0\xBA.wav\r\n",
                   {"/m/caf\xC3\xA9.wav", "/m/\xD0\xB7\xD0\xB2\xD0\xBE\xD0\xBD\xD0\xBE\xD0\xBA.wav"}},
        DecodeCase{"Utf16LittleEndian", "\xFF\xFE" "a\0|\0\xE9\0\r\0\n\0b\0"s, {"a|\xC3\xA9", "b"}},
        DecodeCase{"Utf16BigEndian", "\xFE\xFF" "\0a\0\n\x6C\x34"s, {"a", "\xE6\xB0\xB4"}},
        DecodeCase{"Utf16SurrogatePair", "\xFF\xFE" "\x3D\xD8\x14\xDD"s, {"\xF0\x9F\x94\x94"}},
        DecodeCase{"Utf16LoneSurrogate", "\xFF\xFE" "\x3D\xD8" "a\0"s, {"\xEF\xBF\xBD" "a"}},
        DecodeCase{"Utf16NulEndsText", "\xFF\xFE" "a\0\0\0b\0"s, {"a"}, 1},
        DecodeCase{"Utf16OddByteDropped", "\xFF\xFE" "a\0b"s, {"a"}},
        kWithoutMark),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ScheduleTextEncode, EveryLineEndsInCrLfWithoutMark) {
    EXPECT_EQ(tb::encodeScheduleText({}), "");
    EXPECT_EQ(tb::encodeScheduleText({""}), "\r\n");
#ifdef _WIN32
    ASSERT_EQ(::GetACP(), 1252u) << "the Windows tests run with LC_ALL=en_US.UTF-8, code page 1252";
    EXPECT_EQ(tb::encodeScheduleText({"a", "", "\xC3\xA9"}), "a\r\n\r\n\xE9\r\n");
#else
    EXPECT_EQ(tb::encodeScheduleText({"a", "", "\xC3\xA9"}), "a\r\n\r\n\xC3\xA9\r\n");
#endif
}

// What is written reads back as it was, also where the code page's bytes would be taken
// for a byte-order mark or for UTF-8.
TEST(ScheduleTextEncode, WhatIsWrittenReadsBackAsItWas) {
    const Lines cases[] = {
        {"\xC3\xBF\xC3\xBE/a.mp3", "b"},      // "\u00FF\u00FE": FF FE in code page 1252
        {"\xC3\xAF\xC2\xBB\xC2\xBF/a.mp3"},  // EF BB BF in code page 1252
        {"\xEF\xBB\xBF" "8:00:00"},           // a time that begins with U+FEFF itself
        {"\xC3\x83\xC2\xA9.mp3"},            // C3 A9 in code page 1252, which is UTF-8 too
        {"caf\xC3\xA9.mp3", "\xE9\x93\x83.mp3"},
        {"\xFF\xFE/a.mp3"},                  // bytes that a file written by hand may hold
    };
    for (const auto& lines : cases) {
        EXPECT_EQ(tb::decodeScheduleText(tb::encodeScheduleText(lines)).lines, lines) << lines[0];
    }
}

TEST(ScheduleFile, EveryVariantReadsBackAndIsWrittenInOneForm) {
    const std::vector<std::string> variants = {
        "x|1\r\ny|2\r\n", "x|1\r\ny|2", "x|1\ny|2\n", "x|1\ry|2\r",
        "\xEF\xBB\xBFx|1\r\ny|2\r\n", "\xFF\xFEx\0|\0001\0\r\0\n\0y\0|\0002\0"s,
        "\xFE\xFF\0x\0|\0001\0\n\0y\0|\0002"s};
    for (const auto& bytes : variants) {
        TempDir dir;
        dir.write("playlist.ini", bytes);
        const auto lines = tb::loadScheduleFile(dir / "playlist.ini");
        EXPECT_EQ(lines, (Lines{"x|1", "y|2"})) << bytes;
        EXPECT_EQ(tb::encodeScheduleText(lines), "x|1\r\ny|2\r\n");
    }
}

TEST(ScheduleFile, EmptyFileIsAnEmptyList) {
    TempDir dir;
    dir.write("hou.ini", "");
    EXPECT_TRUE(tb::loadScheduleFile(dir / "hou.ini").empty());
}

TEST(ScheduleFile, LargeFileLoadsWhole) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += "/music/bell" + std::to_string(i) + ".mp3|8:00:00\r\n";
    dir.write("playlist.ini", bytes);
    const auto lines = tb::loadScheduleFile(dir / "playlist.ini");
    ASSERT_EQ(lines.size(), 200000u);
    EXPECT_EQ(lines.back(), "/music/bell199999.mp3|8:00:00");
}

TEST(ScheduleFileErrors, MissingFileNamesPathAndReason) {
    TempDir dir;
    try {
        tb::loadScheduleFile(dir / "qian.ini");
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(e.what(), "Cannot open file \"" + (dir / "qian.ini").string() + "\". " + tb::test::noSuchFile());
    }
}

TEST(ScheduleFileErrors, FolderInPlaceOfFileCannotBeOpened) {
    TempDir dir;
    std::filesystem::create_directory(dir / "hou.ini");
    EXPECT_THROW(
        {
            try {
                tb::loadScheduleFile(dir / "hou.ini");
            } catch (const tb::FileError& e) {
                EXPECT_EQ(e.what(), "Cannot open file \"" + (dir / "hou.ini").string() + "\". " + tb::test::isFolder());
                throw;
            }
        },
        tb::FileError);
}

// Opening a FIFO waits for a writer for ever and a device reads for ever: neither may
// hold up the program's start.
TEST(ScheduleFileErrors, WhatIsNoRegularFileOrTooBigIsRefused) {
    TempDir dir;
    dir.write("huge.ini", "");
    std::filesystem::resize_file(dir / "huge.ini", tb::kLargestScheduleFile + 1);
    std::vector<std::pair<std::filesystem::path, std::string>> cases = {{dir / "huge.ini", tb::test::tooLarge()}};
#ifdef _WIN32
    // A named pipe that a client can connect to, and the NUL device.
    const wchar_t* pipeName = L"\\\\.\\pipe\\tollbrook-schedule-test";
    const HANDLE pipe = ::CreateNamedPipeW(pipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4, 512, 512, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    cases.emplace_back(pipeName, "Not a regular file");
    cases.emplace_back(L"\\\\.\\NUL", "Not a regular file");
#else
    ::mkfifo((dir / "fifo.ini").c_str(), 0600);
    std::filesystem::create_symlink("/dev/zero", dir / "zero.ini");
    cases.emplace_back(dir / "fifo.ini", "Not a regular file");
    cases.emplace_back(dir / "zero.ini", "Not a regular file");
#endif
    for (const auto& [file, reason] : cases) {
        try {
            tb::loadScheduleFile(file);
            ADD_FAILURE() << file << " was read";
        } catch (const tb::FileError& e) {
            const std::u8string name = file.u8string();
            EXPECT_EQ(e.what(), "Cannot open file \"" + std::string(name.begin(), name.end()) + "\". " + reason);
        }
    }
#ifdef _WIN32
    ::CloseHandle(pipe);
#endif
}

#ifdef _WIN32
// A file that another program holds open for writing cannot be read meanwhile.
TEST(ScheduleFileErrors, FileHeldForWritingGivesOpenMessage) {
    TempDir dir;
    dir.write("qian.ini", "C:\\a.mp3\r\n");
    const HANDLE held = ::CreateFileW((dir / "qian.ini").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        tb::loadScheduleFile(dir / "qian.ini");
        ADD_FAILURE() << "read";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(e.what(), "Cannot open file \"" + (dir / "qian.ini").string() + "\". " +
                                tb::test::systemReason(ERROR_SHARING_VIOLATION));
    }
    ::CloseHandle(held);
}
#else
TEST(ScheduleFileErrors, UnreadableFileGivesOpenMessage) {
    TempDir dir;
    dir.write("qian.ini", "/a.mp3\r\n");
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    ::chmod((dir / "qian.ini").c_str(), 0);
    const std::string message = tb::test::withoutPrivileges([&] {
        try {
            tb::loadScheduleFile(dir / "qian.ini");
            return std::string("read");
        } catch (const tb::FileError& e) {
            return std::string(e.what());
        }
    });
    EXPECT_EQ(message, "Cannot open file \"" + (dir / "qian.ini").string() + "\". Permission denied");
}
#endif

TEST(ScheduleFileErrors, SaveIntoReadOnlyFolderKeepsOldFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: Windows has no read-only folder bits";
#else
    TempDir dir;
    dir.write("playlist.ini", "/old.mp3|8:00:00\r\n");
    dir.write("qian.ini", "/old.mp3\r\n");
    dir.write("hou.ini", "8:00:00\r\n");
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0555));
    const std::string message = tb::test::withoutPrivileges([&] {
        try {
            Lines paths, times;
            tb::saveSchedule(dir.path(), {"/new.mp3|9:00:00"}, paths, times);
            return std::string("saved");
        } catch (const tb::FileError& e) {
            return std::string(e.what());
        }
    });
    EXPECT_EQ(message, "Cannot create file \"" + (dir / "playlist.ini").string() + "\". Permission denied");
    EXPECT_EQ(dir.read("playlist.ini"), "/old.mp3|8:00:00\r\n");
    EXPECT_EQ(dir.read("qian.ini"), "/old.mp3\r\n");
    EXPECT_EQ(dir.read("hou.ini"), "8:00:00\r\n");
#endif
}

TEST(ScheduleFileErrors, SaveIntoMissingFolderGivesCreateMessage) {
    TempDir dir;
    try {
        Lines paths, times;
        tb::saveSchedule(dir / "gone", {"a|1"}, paths, times);
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(e.what(),
                  "Cannot create file \"" + (dir / "gone" / "playlist.ini").string() + "\". " + tb::test::noSuchFolder());
    }
}

TEST(SaveSchedule, WritesThreeAlignedFiles) {
    TempDir dir;
    Lines paths, times;
    tb::saveSchedule(dir.path(), {"C:\\music\\a.mp3|8:00:00", "/b.mp3|8:00:00|x", "no bar", "|"}, paths, times);
    EXPECT_EQ(dir.read("playlist.ini"), "C:\\music\\a.mp3|8:00:00\r\n/b.mp3|8:00:00|x\r\nno bar\r\n|\r\n");
    EXPECT_EQ(dir.read("qian.ini"), "C:\\music\\a.mp3\r\n/b.mp3\r\n\r\n\r\n");
    EXPECT_EQ(dir.read("hou.ini"), "8:00:00\r\n8:00:00|x\r\nno bar\r\n\r\n");
    EXPECT_EQ(paths, (Lines{"C:\\music\\a.mp3", "/b.mp3", "", ""}));
    EXPECT_EQ(times, (Lines{"8:00:00", "8:00:00|x", "no bar", ""}));
}

TEST(SaveSchedule, EmptyListGivesThreeEmptyFiles) {
    TempDir dir;
    dir.write("qian.ini", "/old.mp3\r\n");
    Lines paths{"stale"}, times{"stale"};
    tb::saveSchedule(dir.path(), {}, paths, times);
    for (const char* f : {"playlist.ini", "qian.ini", "hou.ini"}) {
        EXPECT_EQ(std::filesystem::file_size(dir / f), 0u) << f;
        EXPECT_TRUE(tb::loadScheduleFile(dir / f).empty()) << f;
    }
    EXPECT_TRUE(paths.empty());
    EXPECT_TRUE(times.empty());
}

// All three files or none: a folder in the way of the second leaves the first as it
// was too, and no temporary file behind.
TEST(SaveSchedule, FailureLeavesAllThreeAsTheyWereAndNoTemporaryFile) {
    TempDir dir;
    dir.write("playlist.ini", "/old.mp3|7:00:00\r\n");
    dir.write("hou.ini", "7:00:00\r\n");
    std::filesystem::create_directory(dir / "qian.ini");  // cannot be replaced by a file
    Lines paths, times;
    try {
        tb::saveSchedule(dir.path(), {"/a.mp3|9:00:00"}, paths, times);
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + (dir / "qian.ini").string() + "\". ", 0), 0u)
            << e.what();
    }
    EXPECT_EQ(dir.read("playlist.ini"), "/old.mp3|7:00:00\r\n");
    EXPECT_EQ(dir.read("hou.ini"), "7:00:00\r\n");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 3u);
}

TEST(SaveSchedule, ReplacedFileKeepsItsPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: a file on Windows has no mode bits; a replaced one takes its folder's permissions";
#else
    TempDir dir;
    dir.write("qian.ini", "x\r\n");
    ::chmod((dir / "qian.ini").c_str(), 0640);
    Lines paths, times;
    tb::saveSchedule(dir.path(), {"y|1"}, paths, times);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "qian.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
}

// A save that runs into the file size limit (a full disk behaves alike) is an error
// like any other: the program goes on, the three old files stay, nothing is left over.
TEST(SaveSchedule, WriteOverTheFileSizeLimitFailsAndKeepsTheOldFiles) {
#ifdef _WIN32
    GTEST_SKIP() << "a file size limit (RLIMIT_FSIZE) is POSIX's; on Windows a full disk fails the write alike";
#else
    TempDir dir;
    Lines paths, times;
    tb::saveSchedule(dir.path(), {"/old.mp3|7:00:00"}, paths, times);
    const Lines big(200, "/srv/bells/a long path to a music file.mp3|8:00:00");
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        tb::initProcess();  // as the program starts
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string out = "saved";
        try {
            Lines p, t;
            tb::saveSchedule(dir.path(), big, p, t);
        } catch (const tb::FileError& e) {
            out = e.what();
        }
        (void)!::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string message;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) message.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the save ended the process (signal " << WTERMSIG(status) << ")";
    EXPECT_EQ(message, "Cannot create file \"" + (dir / "playlist.ini").string() + "\". File too large");
    EXPECT_EQ(dir.read("playlist.ini"), "/old.mp3|7:00:00\r\n");
    EXPECT_EQ(dir.read("qian.ini"), "/old.mp3\r\n");
    EXPECT_EQ(dir.read("hou.ini"), "7:00:00\r\n");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 3u);
#endif
}

TEST(ScheduleFileErrors, LineOver64KiBRefusesTheFile) {
    TempDir dir;
    dir.write("qian.ini", "/a.mp3\r\n" + std::string(64 * 1024 + 1, 'x') + "\r\n");
    try {
        tb::loadScheduleFile(dir / "qian.ini");
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(e.what(), "Cannot open file \"" + (dir / "qian.ini").string() + "\". A line is longer than 64 KiB");
    }
    dir.write("qian.ini", std::string(64 * 1024, 'x') + "\r\n");
    EXPECT_EQ(tb::loadScheduleFile(dir / "qian.ini").size(), 1u);

    // Nor is such a line saved, where it would stop the next start's load: the files stay.
    std::vector<std::string> paths, times;
    tb::saveSchedule(dir.path(), {"/old.mp3|7:00:00"}, paths, times);
    const std::string tooLong = std::string(64 * 1024 - 7, 'x') + "|7:00:00";
    try {
        tb::saveSchedule(dir.path(), {tooLong}, paths, times);
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(e.what(), "Cannot create file \"" + (dir / "playlist.ini").string() + "\". A line is longer than 64 KiB");
    }
    EXPECT_EQ(dir.read("playlist.ini"), "/old.mp3|7:00:00\r\n");
    tb::saveSchedule(dir.path(), {tooLong.substr(1)}, paths, times);
    EXPECT_EQ(tb::loadScheduleFile(dir / "playlist.ini"), std::vector<std::string>{tooLong.substr(1)});
}

// A file system that never answers (a dead network share) costs the caller the bound
// and no more, and the message names the file it hung on.
TEST(ScheduleReading, HungFileSystemCostsTheCallerItsBoundAndNamesTheFile) {
#ifdef _WIN32
    GTEST_SKIP() << "the hung file system is a FUSE mount, which Wine has not";
#else
    tb::test::HungFileSystem share;
    ASSERT_TRUE(share.mounted()) << "needs FUSE: scripts/install-deps.sh installs fuse3 and python3-fusepy";
    TempDir dir;
    dir.write("qian.ini", "/a.mp3\r\n");
    const auto start = std::chrono::steady_clock::now();
    const tb::ScheduleRead read = tb::readScheduleFiles({dir / "qian.ini", share / "hou.ini", dir / "qian.ini"},
                                                        std::chrono::milliseconds(300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ASSERT_EQ(read.texts.size(), 1u);
    EXPECT_EQ(read.texts[0].lines, (Lines{"/a.mp3"}));
    ASSERT_TRUE(read.failure.has_value());
    EXPECT_EQ(*read.failure, "Cannot open file \"" + (share / "hou.ini").string() + "\". Reading it timed out");
    EXPECT_THROW(tb::readScheduleFile(share / "playlist.ini", std::chrono::milliseconds(100)), tb::FileError);
#endif
}

// A full path stays exactly as written (a share's too: schools keep their music on a
// server); a relative one counts from the schedule's folder.
TEST(SchedulePath, FullPathsStayAsWrittenAndRelativeOnesCountFromTheFolder) {
#ifdef _WIN32
    const std::filesystem::path folder = L"C:\\bells";
    const std::pair<std::string, std::string> cases[] = {
        {"\\\\server\\share\\bell.wav", "\\\\server\\share\\bell.wav"},
        {"//server/share/a/../bell.wav", "//server/share/a/../bell.wav"},
        {"\\\\?\\C:\\music\\bell.wav", "\\\\?\\C:\\music\\bell.wav"},
        {"\\\\?\\UNC\\server\\share\\bell.wav", "\\\\?\\UNC\\server\\share\\bell.wav"},
        {"D:\\music\\.\\bell.wav", "D:\\music\\.\\bell.wav"},
        {"bell.wav", "C:\\bells\\bell.wav"},
        {"..\\music\\bell.wav", "C:\\music\\bell.wav"},
        {"", ""},
    };
#else
    const std::filesystem::path folder = "/srv/bells";
    const std::pair<std::string, std::string> cases[] = {
        {"/music/./bell.wav", "/music/./bell.wav"},
        {"bell.wav", "/srv/bells/bell.wav"},
        {"../music/bell.wav", "/srv/music/bell.wav"},
        {"\\\\server\\bell.wav", "/srv/bells/\\\\server\\bell.wav"},  // a name like any other here
        {"", ""},
    };
#endif
    for (const auto& [written, opened] : cases) EXPECT_EQ(tb::resolveSchedulePath(folder, written), opened) << written;
}

TEST(PlaylistLine, SplitsAtFirstBar) {
    EXPECT_EQ(tb::makePlaylistLine("/a b.mp3", "8:00:00"), "/a b.mp3|8:00:00");
    EXPECT_EQ(tb::splitPlaylistLine("/a.mp3|8:00:00|x"), (std::pair<std::string, std::string>{"/a.mp3", "8:00:00|x"}));
    EXPECT_EQ(tb::splitPlaylistLine("8:00:00"), (std::pair<std::string, std::string>{"", "8:00:00"}));
    EXPECT_EQ(tb::splitPlaylistLine(""), (std::pair<std::string, std::string>{"", ""}));
}

}  // namespace

// A bell's file made ready ahead is used only if it is still the same file: one that was
// rewritten or replaced since must be told from it, on every platform.
TEST(FileIdentity, RewrittenOrReplacedFileIsAnotherOne) {
    tb::test::TempDir dir;
    dir.write("bell.wav", "RIFF one");
    dir.write("other.wav", "RIFF two!");
    const auto first = tb::readableFileIdentity(dir / "bell.wav");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(tb::readableFileIdentity(dir / "bell.wav"), first);
    EXPECT_NE(tb::readableFileIdentity(dir / "other.wav"), first);

    std::filesystem::rename(dir / "other.wav", dir / "bell.wav");
    const auto replaced = tb::readableFileIdentity(dir / "bell.wav");
    ASSERT_TRUE(replaced.has_value());
    EXPECT_NE(replaced, first);

    dir.write("bell.wav", "RIFF three, longer");
    EXPECT_NE(tb::readableFileIdentity(dir / "bell.wav"), replaced);
    EXPECT_EQ(tb::readableFileIdentity(dir / "gone.wav"), std::nullopt);
}
