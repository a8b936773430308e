#include "tests/hung_file_system.h"
#include "tests/front-ends/qt/main_window_fixture.h"
#include "front-ends/qt/tform4.h"
#include "front-ends/qt/ttimer.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>

using namespace tb;
using namespace tb::mci;
using tb::test::MainWindowTest;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

class MainWindow : public MainWindowTest {
protected:
    std::vector<std::string> opened() const {
        std::vector<std::string> out;
        for (const auto& s : layer.all(Command::Open)) out.push_back(s.params.element);
        return out;
    }
};

TEST_F(MainWindow, CreationSetsVolumeLoadsAndEnablesPlay) {
    writeSchedule();
    auto form = create();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(form->TrackBar1->value(), 255);
    EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0xFF00FF00u}));
    EXPECT_EQ(form->MediaPlayer1->EnabledButtons(), (TButtonSet{btPlay}));
    EXPECT_EQ(form->ListBoxtime().size(), 2u);
    EXPECT_FALSE(form->N8->isChecked());
    EXPECT_TRUE(form->Timer1->Enabled());
}

TEST_F(MainWindow, FailedCreationLeavesAllButtonsAndAutoRunUnread) {
    writeSchedule();
    autostart.write("/opt/tollbrook/tollbrook");
    std::filesystem::remove(dir / "playlist.ini");
    auto form = create();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(form->MediaPlayer1->EnabledButtons(), kAllButtons);
    EXPECT_FALSE(form->N8->isChecked());
    EXPECT_FALSE(form->N12->isChecked());
    EXPECT_EQ(volume.set.size(), 1u);
}

TEST_F(MainWindow, DueEntryStartsWithStatusSelectionAndButtons) {
    writeSchedule();
    auto form = create();
    layer.sent.clear();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("8:00:00"));
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3"}));
    EXPECT_EQ(layer.count(Command::Play), 1);
    EXPECT_EQ(form->MediaPlayer1->FileName(), "/m/a.mp3");
    EXPECT_EQ(form->statusText(), QStringLiteral("A repertoire being played:/m/a.mp3"));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_EQ(form->MediaPlayer1->EnabledButtons(), (TButtonSet{btPause, btStop}));
}

// The next bell is made ready up to two seconds ahead; nothing the user sees changes
// before its second.
TEST_F(MainWindow, NextBellIsMadeReadyAheadWithoutShowingIt) {
    writeSchedule({{"/m/a.mp3", "8:00:02"}, {"/m/b.mp3", "8:00:03"}});
    auto form = create();
    const struct {
        int second;
        const char* prepared;
    } ticks[] = {{0, "/m/a.mp3"}, {1, "/m/a.mp3"}, {2, "/m/b.mp3"}, {3, ""}, {4, ""}};
    for (const auto& t : ticks) {
        layer.prepared.clear();
        clock.at(8, 0, t.second, 5);
        form->Timer1Timer();
        EXPECT_EQ(layer.prepared, std::vector<std::string>{t.prepared}) << "at 8:00:0" << t.second;
        if (t.second < 2) {
            EXPECT_EQ(layer.count(Command::Open), 0);
            EXPECT_EQ(form->statusText(), QStringLiteral("No repertoire is being played"));
        }
    }
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3"}));
}

TEST_F(MainWindow, StatusBeforeAndAfterTheFirstPlayback) {
    writeSchedule();
    auto form = create();
    clock.at(7, 59, 59, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->statusText(), QStringLiteral("No repertoire is being played"));
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    clock.at(8, 0, 1, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->statusText(), QStringLiteral("A repertoire being played:/m/a.mp3"));
}

TEST_F(MainWindow, EmptyScheduleOnlyUpdatesTheClock) {
    writeSchedule({});
    auto form = create();
    clock.at(12, 30, 15, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("12:30:15"));
    EXPECT_EQ(form->statusText(), QString());
}

TEST_F(MainWindow, LaterEntryCutsOffThePlayingOne) {
    writeSchedule({{"/m/a.mp3", "8:00:00"}, {"/m/b.mp3", "8:00:01"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    layer.sent.clear();
    clock.at(8, 0, 1, 5);
    form->Timer1Timer();
    const auto actions = layer.actions();
    ASSERT_GE(actions.size(), 4u);
    EXPECT_EQ(actions[0].command, Command::Stop);
    EXPECT_EQ(actions[1].command, Command::Close);
    EXPECT_EQ(actions[2].command, Command::Open);
    EXPECT_EQ(actions[2].params.element, "/m/b.mp3");
    EXPECT_EQ(actions[3].command, Command::Play);
}

TEST_F(MainWindow, SecondTickInTheSameSecondDoesNotRestartTheBell) {
    writeSchedule();
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    clock.at(8, 0, 0, 990);
    form->Timer1Timer();
    EXPECT_EQ(opened().size(), 1u);
}

TEST_F(MainWindow, StalledLoopStillRingsTheMissedSecond) {
    writeSchedule();
    auto form = create();
    clock.at(7, 59, 58, 5);
    form->Timer1Timer();
    clock.at(8, 0, 1, 300);  // three seconds without a tick
    form->Timer1Timer();
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3"}));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("8:00:01"));
}

TEST_F(MainWindow, ClockJumpedAnHourAheadRingsNothingFromThatHour) {
    writeSchedule();
    auto form = create();
    clock.at(7, 30, 0, 5);
    form->Timer1Timer();
    clock.at(8, 30, 0, 5);
    form->Timer1Timer();
    EXPECT_TRUE(opened().empty());
}

// A clock set back a little (a time correction) passes seconds again whose bells have
// rung: they do not ring twice. Set back an hour, the day's bells ring again.
TEST_F(MainWindow, ClockSetBackALittleRingsNoBellTwice) {
    // From 8:00:10 back to 8:00:08 (a correction of 2 s) and back to 7:59:50 (20 s).
    for (const int back : {2, 20}) {
        writeSchedule({{"/m/a.mp3", "8:00:00"}, {"/m/b.mp3", "8:00:05"}, {"/m/c.mp3", "8:00:10"}});
        layer.sent.clear();
        auto form = create();
        const int eight = 8 * 3600;
        auto tickAt = [&](int secondOfDay) {
            clock.at(secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60, 5);
            form->Timer1Timer();
        };
        for (int t = eight; t <= eight + 10; ++t) tickAt(t);
        ASSERT_EQ(opened().size(), 3u);
        for (int t = eight + 10 - back; t <= eight + 12; ++t) tickAt(t);
        EXPECT_EQ(opened().size(), 3u) << back << " s back";
    }
}

TEST_F(MainWindow, ClockSetBackAnHourRingsTheHoursBellsAgain) {
    writeSchedule({{"/m/a.mp3", "8:00:00"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    clock.at(7, 0, 0, 5);  // set back by an hour, a second after the bell
    form->Timer1Timer();
    clock.at(7, 59, 59, 5);  // an hour later, as far as any clock knows
    form->Timer1Timer();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    EXPECT_EQ(opened().size(), 2u);
}

// A relative path counts from the schedule's folder, not from wherever the program was
// started.
TEST_F(MainWindow, RelativePathRingsFromTheScheduleFolder) {
    writeSchedule({{"bells/a.mp3", "8:00:00"}, {"/m/b.mp3", "8:00:01"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    clock.at(8, 0, 1, 5);
    form->Timer1Timer();
    EXPECT_EQ(opened(), (std::vector<std::string>{(dir / "bells" / "a.mp3").string(), "/m/b.mp3"}));
}

// An entry whose time the clock never shows would stay silent without a word: after
// each load one notice names the first few.
TEST_F(MainWindow, TimesThatNeverComeDueAreToldAfterEachLoad) {
    writeSchedule({{"/m/a.mp3", "08:00:00"}, {"/m/b.mp3", "9:00:00"}, {"/m/c.mp3", "9:30:00 "},
                   {"/m/d.mp3", "9:30"}, {"/m/e.mp3", "9:45:00 PM"}});
    clock.at(14, 3, 22);
    auto form = create();
    auto notices = dialogs.texts(test::ScriptedDialogs::Shown::Message);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], QStringLiteral(
        "4 entries of the schedule never ring: their times are not written as this computer writes a time of "
        "day (now 14:03:22).\nLine 1: \"08:00:00\"\nLine 3: \"9:30:00 \"\nLine 4: \"9:30\"\n... and 1 more.\n"
        "Change their times in the playlist editor."));
    EXPECT_EQ(form->ListBoxtime().size(), 5u);  // kept as they are
    dialogs.shown.clear();
    // A file saved as UTF-16 without its mark: its first NUL ends the text.
    dir.write("hou.ini", std::string("9\0:\0000\0:\0000\0\r\0\n\0", 18));
    form->BitBtn2->click();
    notices = dialogs.texts(test::ScriptedDialogs::Shown::Message);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].startsWith(QStringLiteral("One entry of the schedule never rings: its time is")));
    writeSchedule();
    dialogs.shown.clear();
    form->BitBtn2->click();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindow, TwoRowsWithOneTimeRingOnlyTheUpper) {
    writeSchedule({{"/m/a.mp3", "8:00:00"}, {"/m/b.mp3", "8:00:00"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3"}));
}

TEST_F(MainWindow, DueRowMissingFromPathsListIsAnIndexErrorAndLeavesPlayback) {
    writeSchedule({{"/m/a.mp3", "8:00:00"}, {"/m/b.mp3", "9:00:00"}});
    dir.write("hou.ini", "8:00:00\r\n9:00:00\r\n8:00:05\r\n");
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    layer.sent.clear();
    clock.at(8, 0, 5, 5);
    runHandler([&] { form->Timer1Timer(); });
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], QStringLiteral("List index out of bounds (2)"));
    EXPECT_TRUE(layer.actions().empty());
    EXPECT_EQ(form->MediaPlayer1->Mode(), mpPlaying);
}

TEST_F(MainWindow, UnplayableEntryReportsAndKeepsWhatWasDone) {
    writeSchedule();
    layer.unplayable.insert("/m/a.mp3");
    auto form = create();
    clock.at(8, 0, 0, 5);
    runHandler([&] { form->Timer1Timer(); });
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], QStringLiteral("The file cannot be found."));
    // A bell that did not sound must not look as if it did.
    EXPECT_EQ(form->statusText(), QStringLiteral("No repertoire is being played"));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    EXPECT_EQ(form->MediaPlayer1->EnabledButtons(), (TButtonSet{btPlay}));
    EXPECT_EQ(layer.count(Command::Play), 0);
    clock.at(8, 0, 1, 5);
    form->Timer1Timer();  // not tried again
    EXPECT_EQ(layer.count(Command::Open), 1);
}

TEST_F(MainWindow, RefreshDuringPlaybackKeepsPlayingAndClearsSelection) {
    writeSchedule();
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    layer.sent.clear();
    form->BitBtn2->click();
    EXPECT_TRUE(layer.actions().empty());
    EXPECT_EQ(form->MediaPlayer1->Mode(), mpPlaying);
    EXPECT_EQ(form->ListBox1->currentRow(), -1);
    EXPECT_EQ(form->ListBox1->count(), 2);
    EXPECT_TRUE(form->Timer1->Enabled());
}

// A reload takes the three files only when all three can be read: one that cannot
// leaves the schedule loaded before in force, ringing, and says so.
TEST_F(MainWindow, RefreshThatCannotReadAFileKeepsTheScheduleRinging) {
    writeSchedule({{"/m/a.mp3", "8:00:02"}, {"/m/b.mp3", "8:00:05"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    const struct {
        const char* file;
        std::function<void()> spoil;
    } faults[] = {
        {"hou.ini", [&] { std::filesystem::remove(dir / "hou.ini"); }},
        {"qian.ini", [&] { std::filesystem::remove(dir / "qian.ini"); }},
        {"playlist.ini", [&] {  // only the view reads it
             std::filesystem::remove(dir / "playlist.ini");
             std::filesystem::create_directory(dir / "playlist.ini");
         }},
    };
    for (const auto& fault : faults) {
        writeSchedule({{"/m/c.mp3", "8:00:03"}});
        fault.spoil();
        dialogs.shown.clear();
        form->BitBtn2->click();
        ASSERT_EQ(dialogs.errors().size(), 1u) << fault.file;
        EXPECT_TRUE(dialogs.errors()[0].startsWith(q("Cannot open file \"" + (dir / fault.file).string() + "\". ")));
        EXPECT_TRUE(dialogs.errors()[0].endsWith(QStringLiteral(". The schedule loaded before stays in force.")));
        EXPECT_EQ(form->ListBoxtime(), (std::vector<std::string>{"8:00:02", "8:00:05"})) << fault.file;
        EXPECT_EQ(form->ListBox1->count(), 2);
        EXPECT_TRUE(form->Timer1->Enabled());
        std::filesystem::remove_all(dir / fault.file);
    }
    clock.at(8, 0, 2, 5);
    form->Timer1Timer();
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3"}));
    writeSchedule({{"/m/c.mp3", "8:00:03"}});
    form->BitBtn2->click();
    EXPECT_EQ(form->ListBoxtime(), (std::vector<std::string>{"8:00:03"}));
}

// playlist.ini on a share whose server is gone: the reload costs the window its bound
// and no more, and the bells go on.
TEST_F(MainWindow, RefreshFromAHungShareWaitsItsBoundAndKeepsRinging) {
    test::HungFileSystem share;
    ASSERT_TRUE(share.mounted()) << "needs FUSE: scripts/install-deps.sh installs fuse3 and python3-fusepy";
    writeSchedule({{"/m/a.mp3", "8:00:02"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    std::filesystem::remove(dir / "playlist.ini");
    std::filesystem::create_symlink(share / "playlist.ini", dir / "playlist.ini");
    QElapsedTimer waited;
    waited.start();
    form->BitBtn2->click();
    EXPECT_LT(waited.elapsed(), 4000) << "the window waited longer than its bound";
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], q("Cannot open file \"" + (dir / "playlist.ini").string() +
                                     "\". Reading it timed out. The schedule loaded before stays in force."));
    clock.at(8, 0, 2, 5);
    form->Timer1Timer();
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3"}));
}

TEST_F(MainWindow, TimerBackOnAfterAReloadStartsFromTheCurrentSecond) {
    writeSchedule({{"/m/a.mp3", "8:00:02"}, {"/m/b.mp3", "8:00:05"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    clock.at(8, 0, 4, 5);
    form->BitBtn2->click();
    form->Timer1Timer();  // 8:00:02 came due before the reload, while no tick came
    EXPECT_TRUE(opened().empty());
    clock.at(8, 0, 5, 5);
    form->Timer1Timer();
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/b.mp3"}));
}

TEST_F(MainWindow, ViewWindowIsASnapshotOfThePaths) {
    writeSchedule({{"/m/a.mp3", "8:00:00"}, {"", "no bar"}});
    auto form = create();
    form->N5->trigger();
    writeSchedule({{"/m/c.mp3", "10:00:00"}});
    form->BitBtn2->click();
    form->N13->trigger();
    ASSERT_EQ(form->childWindows().size(), 2u);
    auto* first = dynamic_cast<TForm4*>(form->childWindows()[0].get());
    auto* second = dynamic_cast<TForm4*>(form->childWindows()[1].get());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(rows(first->ListBox1), (QStringList{QStringLiteral("/m/a.mp3"), QString()}));
    EXPECT_EQ(rows(second->ListBox1), (QStringList{QStringLiteral("/m/c.mp3")}));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Existing repertoire view"));
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindow, AboutWindowShowsTheBuiltInTextEachTime) {
    auto form = create();
    form->R1->trigger();
    auto* about = dynamic_cast<TForm5*>(form->childWindows()[0].get());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About software"));
    EXPECT_EQ(about->Label1->text(), QStringLiteral("Tollbrook"));
    about->Memo1->setPlainText(QStringLiteral("changed"));
    form->R1->trigger();
    auto* again = dynamic_cast<TForm5*>(form->childWindows()[1].get());
    EXPECT_EQ(again->Memo1->toPlainText().split(QStringLiteral("\n\n")).size(), 3);
}

TEST_F(MainWindow, AutoRunItemsShareOneStateAndToggleTheEntry) {
    writeSchedule();
    auto form = create();
    form->N8->trigger();
    EXPECT_TRUE(form->N8->isChecked());
    EXPECT_TRUE(form->N12->isChecked());
    EXPECT_EQ(autostart.read(), "/opt/tollbrook/tollbrook");
    form->N12->trigger();
    EXPECT_FALSE(form->N8->isChecked());
    EXPECT_FALSE(form->N12->isChecked());
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindow, AutoRunOnAtStartIsCheckedAndFirstClickSwitchesOff) {
    writeSchedule();
    autostart.write("/opt/tollbrook/tollbrook");
    auto form = create();
    EXPECT_TRUE(form->N8->isChecked());
    EXPECT_TRUE(form->N12->isChecked());
    form->N8->trigger();
    EXPECT_FALSE(form->N8->isChecked());
    EXPECT_EQ(autostart.read(), "");
}

TEST_F(MainWindow, UnwritableAutostartFolderReportsAndStaysUnchecked) {
    writeSchedule();
    config.write("autostart", "a file where the folder should be");
    auto form = create();
    form->N8->trigger();
    form->N12->trigger();
    ASSERT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(dialogs.errors()[0], QStringLiteral("Failed to set data for 'velnorsoftsp'"));
    EXPECT_FALSE(form->N8->isChecked());
    EXPECT_FALSE(form->N12->isChecked());
}

TEST_F(MainWindow, ExitClosesPlayerAndStopsTimer) {
    writeSchedule();
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    dialogs.answers = {true};
    form->N18->trigger();
    EXPECT_EQ(form->MediaPlayer1->DeviceID(), 0);
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_TRUE(app.Terminated());
}

TEST_F(MainWindow, VolumeSliderSetsBothChannels) {
    auto form = create();
    volume.set.clear();
    form->TrackBar1->setValue(0);
    form->TrackBar1->setValue(1);
    EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0u, 0x01000100u}));
}

}  // namespace
