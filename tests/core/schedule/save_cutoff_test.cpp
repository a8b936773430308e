// A save of the schedule cut off after any of its steps (the process killed, the power
// gone): the next load finds the old schedule or the new one, its three files agreeing,
// and nothing left over.
#include "core/util/file_replacement.h"
#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_model.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using Lines = std::vector<std::string>;
using tb::test::TempDir;

struct Cut {};

// The platform's own steps, of which every one that changes the disk can be the last,
// or fail.
class FaultySteps final : public tb::FileSteps {
public:
    int cutAfter = -1;      // the step after which the process is gone
    int failRename = -1;    // the rename that fails, counted from 1
    int steps = 0, renames = 0;

    std::filesystem::path temporaryName(const std::filesystem::path& f) override { return real_.temporaryName(f); }
    std::optional<std::string> writeNewFile(const std::filesystem::path& t, const std::filesystem::path& like,
                                            std::string_view bytes) override {
        return done(real_.writeNewFile(t, like, bytes));
    }
    std::optional<std::string> replaceable(const std::filesystem::path& f) override { return real_.replaceable(f); }
    std::optional<std::string> renameOver(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (++renames == failRename) return "Injected failure";
        return done(real_.renameOver(from, to));
    }
    void removeQuietly(const std::filesystem::path& f) override {
        real_.removeQuietly(f);
        done(std::nullopt);
    }
    void flushFolder(const std::filesystem::path& f) override {
        real_.flushFolder(f);
        done(std::nullopt);
    }
    std::vector<std::filesystem::path> names(const std::filesystem::path& f) override { return real_.names(f); }

private:
    std::optional<std::string> done(std::optional<std::string> result) {
        if (++steps == cutAfter) throw Cut{};
        return result;
    }
    tb::FileSteps& real_ = tb::platformFileSteps();
};

Lines schedule(std::size_t rows, const std::string& time) {
    Lines lines;
    for (std::size_t i = 0; i < rows; ++i) lines.push_back("/bells/" + std::to_string(i) + ".wav|" + time);
    return lines;
}

std::set<std::string> namesIn(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.insert(e.path().filename().string());
    return names;
}

// The schedule a load takes, as playlist lines rebuilt from its paths and times; the
// view must show the same.
Lines loaded(const TempDir& dir) {
    tb::ScheduleModel model;
    EXPECT_EQ(model.load(dir.path()), std::nullopt) << "the view does not show what rings";
    Lines rebuilt;
    for (std::size_t i = 0; i < model.paths().size(); ++i) {
        rebuilt.push_back(tb::makePlaylistLine(model.paths()[i], model.times()[i]));
    }
    EXPECT_EQ(model.viewLines(), rebuilt);
    return rebuilt;
}

const std::set<std::string> kJustTheSchedule{"hou.ini", "playlist.ini", "qian.ini"};

// Cut after step 1, 2, ... until a save runs to its end: before its commit the old
// schedule stands, from its commit on the new one, and never anything else.
TEST(SaveCutOff, NextLoadFindsTheOldOrTheNewScheduleAndNothingLeftOver) {
    const Lines before = schedule(5, "7:00:00"), after = schedule(8, "9:00:00");
    bool sawNew = false;
    for (int cut = 1;; ++cut) {
        TempDir dir;
        Lines paths, times;
        tb::saveSchedule(dir.path(), before, paths, times);
        FaultySteps steps;
        steps.cutAfter = cut;
        bool finished = true;
        try {
            tb::saveSchedule(dir.path(), after, paths, times, steps);
        } catch (const Cut&) {
            finished = false;
        }
        const Lines found = loaded(dir);
        EXPECT_TRUE(found == before || found == after) << "cut after step " << cut;
        if (sawNew) {
            EXPECT_EQ(found, after) << "a later cut gave the old schedule back, after step " << cut;
        }
        sawNew = sawNew || found == after;
        EXPECT_EQ(namesIn(dir), kJustTheSchedule) << "cut after step " << cut;
        if (finished) {
            EXPECT_EQ(found, after);
            EXPECT_GT(cut, 8) << "a save has more steps than that";
            break;
        }
        ASSERT_LT(cut, 40) << "the save never finished";
    }
}

// A rename that fails after the commit is reported; the next load finishes the save,
// and a save that cannot be finished yet keeps the schedule loaded before in force.
TEST(SaveCutOff, RenameThatFailsAfterTheCommitIsFinishedAtTheNextLoad) {
    TempDir dir;
    Lines paths, times;
    tb::saveSchedule(dir.path(), schedule(2, "7:00:00"), paths, times);
    FaultySteps steps;
    steps.failRename = 3;  // the journal's, playlist.ini's, then qian.ini's
    try {
        tb::saveSchedule(dir.path(), schedule(3, "9:00:00"), paths, times, steps);
        FAIL() << "saved";
    } catch (const tb::FileError& e) {
        EXPECT_EQ(e.what(), "Cannot create file \"" + (dir / "qian.ini").string() + "\". Injected failure");
    }
    FaultySteps stillFailing;
    stillFailing.failRename = 1;
    const auto failure = tb::finishReplacement(dir / tb::kSaveJournal, stillFailing);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->file, dir / "qian.ini");
    EXPECT_EQ(loaded(dir), schedule(3, "9:00:00"));
    EXPECT_EQ(namesIn(dir), kJustTheSchedule);
}

// What cut-off saves of this and of earlier versions left is removed at the next load,
// and only that.
TEST(SaveCutOff, LeftoversOfEarlierSavesGoAndOtherFilesStay) {
    TempDir dir;
    Lines paths, times;
    tb::saveSchedule(dir.path(), schedule(1, "7:00:00"), paths, times);
    const std::set<std::string> leftovers{"playlist.ini.tmp4242.0", "qian.ini.tmp4242.1", "hou.ini.tmp17.2.old",
                                          "tollbrook-save.journal.tmp4242.3"};
    const std::set<std::string> others{"notes.txt", "hou.ini.bak", "qian.ini.tmpx.1", "playlist.ini.tmp1.2.3"};
    for (const auto& name : leftovers) dir.write(name, "x");
    for (const auto& name : others) dir.write(name, "x");
    loaded(dir);
    std::set<std::string> expected = kJustTheSchedule;
    expected.insert(others.begin(), others.end());
    EXPECT_EQ(namesIn(dir), expected);
}

}  // namespace
