// The program's start: one running copy per schedule folder, and the installed first
// start that makes its empty schedule.
#include "core/presenters/program_start.h"

#include "tests/core/scripted_dialogs.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <deque>

namespace tb::test {
namespace {

// Claims and hand-overs answered from a script (false once it runs out).
class ScriptedCopies final : public RunningCopies {
public:
    std::string keyFor(const std::filesystem::path& folder) const override { return runningCopyKey(folder.string()); }
    bool claim(const std::string&) override { return next(claims); }
    bool handOver(const std::string&) override {
        ++handOvers;
        return next(answers);
    }
    void listen(std::function<void()> onHandOver) override { bringBack = std::move(onHandOver); }

    std::deque<bool> claims, answers;
    int handOvers = 0;
    std::function<void()> bringBack;

private:
    static bool next(std::deque<bool>& script) {
        if (script.empty()) return false;
        const bool value = script.front();
        script.pop_front();
        return value;
    }
};

struct Window final : ProgramWindow {
    explicit Window(std::vector<std::string>& into) : log(into) {}
    void FormCreate() override { log.push_back("create"); }
    void showCentred() override { log.push_back("show"); }
    void M1Click() override { log.push_back("M1Click"); }
    std::vector<std::string>& log;
};

struct Start {
    ScriptedDialogs dialogs;
    ScriptedCopies copies;
    TempDir dir;
    std::vector<std::string> log;

    int run(bool installed) {
        return runProgram({dialogs, [] {}, dir / "tollbrook", {dir / "schedule", installed}, copies,
                           [this](TApplication& app, const std::filesystem::path& folder) {
                               EXPECT_EQ(app.Title(), "Tollbrook");
                               EXPECT_EQ(folder, dir / "schedule");
                               log.push_back("window");
                               return std::make_unique<Window>(log);
                           },
                           [this](TApplication&) {
                               log.push_back("loop");
                               if (copies.bringBack) copies.bringBack();  // a later start hands over
                               return 0;
                           },
                           std::chrono::milliseconds(300)});
    }
};

TEST(ProgramStart, RunsHandsOverOrSaysTheRunningCopyDoesNotAnswer) {
    const struct {
        std::deque<bool> claims, answers;
        int rc;
        std::vector<std::string> log;
        std::size_t errors;
    } cases[] = {
        {{true}, {}, 0, {"window", "create", "show", "loop", "M1Click"}, 0},
        {{false}, {true}, 0, {}, 0},                   // a copy runs on the folder: it takes over
        {{false, false, true}, {false, false}, 0, {"window", "create", "show", "loop", "M1Click"}, 0},  // it ended
        {{false, false}, {false, true}, 0, {}, 0},     // it was starting and listens now
    };
    for (const auto& c : cases) {
        Start start;
        start.copies.claims = c.claims;
        start.copies.answers = c.answers;
        EXPECT_EQ(start.run(false), c.rc);
        EXPECT_EQ(start.log, c.log);
        EXPECT_EQ(start.dialogs.errors().size(), c.errors);
    }
}

TEST(ProgramStart, ACopyThatHoldsTheFolderButNeverAnswersIsReportedNotJoined) {
    Start start;
    EXPECT_EQ(start.run(false), 1);
    EXPECT_TRUE(start.log.empty());
    ASSERT_EQ(start.dialogs.errors().size(), 1u);
    EXPECT_NE(start.dialogs.errors()[0].find("already running"), std::string::npos);
    EXPECT_GE(start.copies.handOvers, 2);  // tried for its whole patience
}

TEST(ProgramStart, InstalledFirstStartMakesTheEmptyScheduleAPortableOneDoesNot) {
    for (const bool installed : {true, false}) {
        Start start;
        start.copies.claims = {true};
        start.run(installed);
        for (const char* name : {"playlist.ini", "qian.ini", "hou.ini"}) {
            EXPECT_EQ(std::filesystem::exists(start.dir / "schedule" / name), installed) << name;
        }
        EXPECT_TRUE(start.dialogs.errors().empty());
    }
}

TEST(FirstSchedule, IsMadeOnlyWhereNoFileOfTheScheduleNorACutOffSaveIs) {
    for (const char* present : {"", "qian.ini", "hou.ini", "playlist.ini", "tollbrook-save.journal"}) {
        TempDir dir;
        if (*present != '\0') dir.write(present, "x");
        makeFirstSchedule(dir.path());
        for (const char* name : {"playlist.ini", "qian.ini", "hou.ini"}) {
            const bool made = *present == '\0';
            EXPECT_EQ(dir.read(name), made ? "" : std::string(name) == present ? "x" : "") << present << " " << name;
            EXPECT_EQ(std::filesystem::exists(dir / name), made || std::string(name) == present) << present;
        }
    }
}

TEST(RunningCopyKey, OneFixedLengthNamePerSpelling) {
    EXPECT_EQ(runningCopyKey("/home/a/bells"), runningCopyKey("/home/a/bells"));
    EXPECT_NE(runningCopyKey("/home/a/bells"), runningCopyKey("/home/a/bell"));
    EXPECT_EQ(runningCopyKey(std::string(5000, 'x')).size(), runningCopyKey("").size());
    EXPECT_LT(runningCopyKey("").size(), 64u);
}

}  // namespace
}  // namespace tb::test
