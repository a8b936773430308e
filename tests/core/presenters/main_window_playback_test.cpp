// Playing by hand from the main window: "Play" with its file dialog, a double click on a
// schedule row, and the player's own buttons as the bar presses them.
#include "tests/core/presenters/main_window_fixture.h"

namespace tb::test {
namespace {

using Shown = ScriptedDialogs::Shown;

const std::vector<std::pair<std::string, std::string>> twoBells = {{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "9:00:00"}};

TEST_F(Presenter, PlayButtonOffersTheMusicFiltersAndPlaysTheChosenFile) {
    create(twoBells);
    dialogs.files = {std::nullopt, m("chosen.mp3")};
    run(&MainWindowPresenter::Button1Click);  // cancelled
    EXPECT_EQ(layer.count(Command::Open), 0);
    run(&MainWindowPresenter::Button1Click);
    EXPECT_EQ(dialogs.texts(Shown::FileDialog),
              std::vector<std::string>(2, "mp3多媒体文件 (*.mp3);mid多媒体文件 (*.mid);midi多媒体文件 (*.midi);"
                                          "rmi多媒体文件 (*.rmi);wav多媒体文件 (*.wav);mp2多媒体文件 (*.mp2);"
                                          "所有文件 (*.*)"));
    EXPECT_EQ(opened(), std::vector<std::string>{m("chosen.mp3")});
    EXPECT_EQ(layer.count(Command::Play), 1);
    EXPECT_EQ(view.status, "playing " + m("chosen.mp3"));
    EXPECT_EQ(player.EnabledButtons(), (TButtonSet{btPause, btStop}));
}

TEST_F(Presenter, ChosenFileCutsOffABellThatStartedWhileTheDialogWasOpen) {
    create(twoBells);
    dialogs.whileChoosing = [&] { tickAt(8, 0, 0); };
    dialogs.files = {m("chosen.mp3")};
    const std::size_t before = layer.actions().size();
    run(&MainWindowPresenter::Button1Click);
    EXPECT_EQ(actionsSince(before), (std::vector<Command>{Command::Open, Command::Play, Command::Stop, Command::Close,
                                                          Command::Open, Command::Play}));
    EXPECT_EQ(player.FileName(), m("chosen.mp3"));
}

// Without a selected row the double click is a list index error, after it has set the
// buttons and stopped what played.
TEST_F(Presenter, DoubleClickPlaysTheSelectedRowAndWithoutOneStopsAndIsAnIndexError) {
    create(twoBells);
    doubleClickRow(1);
    EXPECT_EQ(opened(), std::vector<std::string>{m("b.mp3")});
    EXPECT_EQ(view.status, "A repertoire is being inserted:" + m("b.mp3"));
    EXPECT_EQ(player.EnabledButtons(), (TButtonSet{btPause, btStop}));

    player.setEnabledButtons({btPlay});
    const std::size_t before = layer.actions().size();
    doubleClickRow(std::nullopt);
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"List index out of bounds (-1)"});
    EXPECT_EQ(player.EnabledButtons(), (TButtonSet{btPause, btStop}));
    EXPECT_EQ(actionsSince(before), std::vector<Command>{Command::Stop});
}

// Each of the player's buttons leaves the program's enabled set and then runs its own
// action; Stop opens the file anew before stopping, so that the next Play starts at the
// top.
TEST_F(Presenter, PlayerButtonsSetTheProgramsEnabledSetsAndRunTheirActions) {
    create(twoBells);
    doubleClickRow(0);
    const struct {
        TMPBtnType button;
        TButtonSet before, after;
        std::vector<Command> sent;
    } presses[] = {
        {btPause, {btPause, btStop}, {btPlay, btStop}, {Command::Pause}},
        {btPlay, {btPlay, btStop}, {btPause, btStop}, {Command::Play}},
        {btStop, {btPause, btStop}, {btPlay}, {Command::Close, Command::Open, Command::Play, Command::Stop}},
        {btNext, kAllButtons, kAllButtons, {Command::Seek}},
    };
    for (const auto& press : presses) {
        player.setEnabledButtons(press.before);
        const std::size_t before = layer.actions().size();
        player.pressByKeyboard(press.button);
        EXPECT_EQ(player.EnabledButtons(), press.after) << press.button;
        EXPECT_EQ(actionsSince(before), press.sent) << press.button;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Presenter, PlayWithNothingChosenTellsAndDoesNothingElse) {
    create(twoBells);
    player.pressByKeyboard(btPlay);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Shown::Notice);
    EXPECT_EQ(dialogs.shown[0].text, "You have no choice of repertoire!");
    EXPECT_EQ(dialogs.shown[0].caption, "Close");
    EXPECT_EQ(layer.count(Command::Play), 0);
    EXPECT_EQ(player.EnabledButtons(), TButtonSet{btPlay});
}

TEST_F(Presenter, PlayByHandThatFailsKeepsWhatTheHandlerHadDone) {
    create(twoBells);
    layer.unplayable.insert(m("gone.mp3"));
    dialogs.files = {m("gone.mp3")};
    run(&MainWindowPresenter::Button1Click);
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(player.EnabledButtons(), (TButtonSet{btPause, btStop}));
    EXPECT_EQ(player.FileName(), m("gone.mp3"));
    EXPECT_EQ(player.DeviceID(), 0);
    // Nothing plays, and the status does not say it does.
    EXPECT_EQ(view.status, "No repertoire is being played");

    // The player's Stop reopens the file; when that fails, Play stays the only button
    // and the stop itself is not run.
    player.setEnabledButtons({btStop});
    const std::size_t before = layer.actions().size();
    player.pressByKeyboard(btStop);
    EXPECT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(player.EnabledButtons(), TButtonSet{btPlay});
    EXPECT_EQ(actionsSince(before), std::vector<Command>{Command::Open});

    player.setEnabledButtons(kAllButtons);
    player.pressByKeyboard(btNext);
    ASSERT_EQ(dialogs.errors().size(), 3u);
    EXPECT_EQ(dialogs.errors()[2], "No MCI device open.");
}

}  // namespace
}  // namespace tb::test
