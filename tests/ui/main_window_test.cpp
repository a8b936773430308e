#include "tests/ui/main_window_fixture.h"
#include "ui/tform4.h"
#include "ui/ttimer.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QToolButton>

using namespace tb;
using namespace tb::mci;
using tb::test::MainWindowTest;

namespace {

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

TEST_F(MainWindow, RefreshWithoutTimesFileLeavesTimerOffUntilAReloadSucceeds) {
    writeSchedule();
    auto form = create();
    std::filesystem::remove(dir / "hou.ini");
    form->BitBtn2->click();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_TRUE(dialogs.errors()[0].contains(QStringLiteral("hou.ini")));
    EXPECT_EQ(form->ListBoxfilename().size(), 2u);
    EXPECT_TRUE(form->ListBoxtime().empty());
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_FALSE(form->Timer1->Enabled());
    writeSchedule();
    form->BitBtn2->click();
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(form->ListBoxtime().size(), 2u);
}

TEST_F(MainWindow, TimerBackOnAfterAReloadStartsFromTheCurrentSecond) {
    writeSchedule({{"/m/a.mp3", "8:00:02"}, {"/m/b.mp3", "8:00:05"}});
    auto form = create();
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    std::filesystem::rename(dir / "hou.ini", dir / "hou.bak");
    form->BitBtn2->click();  // fails: the timer stays off
    std::filesystem::rename(dir / "hou.bak", dir / "hou.ini");
    clock.at(8, 0, 4, 5);
    form->BitBtn2->click();
    form->Timer1Timer();  // 8:00:02 came due while the timer was off
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
