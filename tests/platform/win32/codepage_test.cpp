#include "core/util/file_system.h"
#include "core/schedule/schedule_file.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

using Lines = std::vector<std::string>;

namespace {

// Schedule files of the Windows program hold their text in the system's ANSI code
// page. The table has the code pages that ctest runs this program in (LC_ALL=en_US for
// 1252, zh_CN for 936, GBK).
struct CodePageCase {
    UINT codePage;
    std::string bytes;    // a schedule line as the code page writes it
    std::string utf8;     // the same line in UTF-8
    std::string foreign;  // a character the code page cannot hold, in UTF-8
};

const CodePageCase kCases[] = {
    {1252, "C:\\Musik\\Pause-\xE9t\xE9-\x80.mp3|8:00:00", "C:\\Musik\\Pause-\xC3\xA9t\xC3\xA9-\xE2\x82\xAC.mp3|8:00:00",
     "\xE4\xB8\x8A"},  // 上
    // 1252 would turn Ā into A with a best fit: that too counts as not representable.
    {1252, "C:\\a.mp3|8:00:00", "C:\\a.mp3|8:00:00", "\xC4\x80"},
    {936, "C:\\\xD2\xF4\xC0\xD6\\\xC9\xCF\xBF\xCE.mp3|\xC9\xCF\xCE\xE7 8:00:00",
     "C:\\\xE9\x9F\xB3\xE4\xB9\x90\\\xE4\xB8\x8A\xE8\xAF\xBE.mp3|\xE4\xB8\x8A\xE5\x8D\x88 8:00:00", "\xED\x95\x9C"},  // 한
};

std::vector<CodePageCase> casesHere() {
    std::vector<CodePageCase> out;
    for (const auto& c : kCases)
        if (c.codePage == ::GetACP()) out.push_back(c);
    return out;
}

TEST(CodePage, TheTableHasThisCodePage) {
    EXPECT_FALSE(casesHere().empty()) << "no cases for code page " << ::GetACP();
}

TEST(CodePage, FilesWithoutMarkAreReadInTheCodePage) {
    for (const auto& c : casesHere()) {
        tb::test::TempDir dir;
        dir.write("playlist.ini", c.bytes + "\r\n");
        EXPECT_EQ(tb::loadScheduleFile(dir / "playlist.ini"), Lines{c.utf8});
    }
}

TEST(CodePage, RepresentableTextIsWrittenInTheCodePageWithoutMark) {
    for (const auto& c : casesHere()) {
        EXPECT_EQ(tb::utf8ToSystemCodePage(c.utf8), c.bytes);
        EXPECT_EQ(tb::encodeScheduleText({c.utf8}), c.bytes + "\r\n");
    }
}

// Written in the code page, the character would become the default character and the
// path would name no file: the file is written as UTF-8 with its mark instead.
TEST(CodePage, TextTheCodePageLacksIsWrittenAsUtf8WithMark) {
    for (const auto& c : casesHere()) {
        const std::string line = "C:\\bells\\" + c.foreign + ".mp3|8:00:00";
        EXPECT_EQ(tb::utf8ToSystemCodePage(line), std::nullopt) << c.foreign;
        EXPECT_EQ(tb::encodeScheduleText({c.utf8, line}), "\xEF\xBB\xBF" + c.utf8 + "\r\n" + line + "\r\n");
    }
}

TEST(CodePage, PathOutsideTheCodePageSurvivesSaveAndReload) {
    for (const auto& c : casesHere()) {
        tb::test::TempDir dir;
        const std::filesystem::path bell = dir.path() / std::filesystem::u8path("bell-" + c.foreign + ".wav");
        std::ofstream(bell, std::ios::binary) << "RIFF";
        const std::u8string name = bell.u8string();
        const std::string path(name.begin(), name.end());
        Lines paths, times;
        tb::saveSchedule(dir.path(), {tb::makePlaylistLine(path, "8:00:00"), c.utf8}, paths, times);
        const Lines reread = tb::loadScheduleFile(dir / "qian.ini");
        ASSERT_EQ(reread.size(), 2u);
        EXPECT_EQ(reread[0], path);
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(reread[0])));
        EXPECT_EQ(tb::loadScheduleFile(dir / "playlist.ini")[0], path + "|8:00:00");
    }
}

}  // namespace
