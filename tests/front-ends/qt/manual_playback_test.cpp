// Playing by hand from the main window: the "Play" button with its file dialog, a
// double click on a schedule row, and the player's own buttons.
#include "tests/front-ends/qt/main_window_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

using namespace tb;
using namespace tb::mci;
using tb::test::MainWindowTest;

namespace {

class ManualPlayback : public MainWindowTest {
protected:
    std::vector<Command> actionsSince(std::size_t from) const {
        std::vector<Command> out;
        const auto all = layer.actions();
        for (std::size_t i = from; i < all.size(); ++i) out.push_back(all[i].command);
        return out;
    }
    // A press of one of the player's buttons, as its click runs it.
    void press(TForm1& form, TMPBtnType button) {
        form.MediaPlayer1->show();
        const QPoint at(form.MediaPlayer1->buttonLeft(button) + 14, 15);
        QMouseEvent down(QEvent::MouseButtonPress, at, form.MediaPlayer1->mapToGlobal(at), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, at, form.MediaPlayer1->mapToGlobal(at), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form.MediaPlayer1, &down);
        QApplication::sendEvent(form.MediaPlayer1, &up);
    }
    void doubleClickRow(TForm1& form, int row) {
        if (row >= 0) form.ListBox1->setCurrentRow(row);
        form.ListBox1DblClick();
    }
    TButtonSet enabled(const TForm1& form) const { return form.MediaPlayer1->EnabledButtons(); }
};

TEST_F(ManualPlayback, PlayButtonOffersTheMusicFiltersAndPlaysTheChosenFile) {
    writeSchedule();
    auto form = create();
    dialogs.files = {std::nullopt, QStringLiteral("/m/chosen.mp3")};
    form->Button1->click();  // cancelled
    EXPECT_EQ(layer.count(Command::Open), 0);
    form->Button1->click();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral("mp3多媒体文件 (*.mp3);mid多媒体文件 (*.mid);midi多媒体文件 (*.midi);rmi多媒体文件 (*.rmi);"
                             "wav多媒体文件 (*.wav);mp2多媒体文件 (*.mp2);所有文件 (*.*)"));
    EXPECT_EQ(layer.last(Command::Open).params.element, "/m/chosen.mp3");
    EXPECT_EQ(layer.count(Command::Play), 1);
    EXPECT_EQ(form->statusText(), QStringLiteral("playing /m/chosen.mp3"));
    EXPECT_EQ(enabled(*form), (TButtonSet{btPause, btStop}));
}

TEST_F(ManualPlayback, ChosenFileCutsOffABellThatStartedWhileTheDialogWasOpen) {
    writeSchedule();
    auto form = create();
    dialogs.whileChoosing = [&] {
        clock.at(8, 0, 0, 5);
        form->Timer1Timer();
    };
    dialogs.files = {QStringLiteral("/m/chosen.mp3")};
    const std::size_t before = layer.actions().size();
    form->Button1->click();
    EXPECT_EQ(actionsSince(before), (std::vector<Command>{Command::Open, Command::Play, Command::Stop, Command::Close,
                                                          Command::Open, Command::Play}));
}

TEST_F(ManualPlayback, DoubleClickPlaysTheRowAndWithoutOneIsAnIndexError) {
    writeSchedule();
    auto form = create();
    doubleClickRow(*form, 1);
    EXPECT_EQ(layer.last(Command::Open).params.element, "/m/b.mp3");
    EXPECT_EQ(form->statusText(), QStringLiteral("A repertoire is being inserted:/m/b.mp3"));
    EXPECT_EQ(enabled(*form), (TButtonSet{btPause, btStop}));

    form->BitBtn2->click();  // the reload clears the selection; the file plays on
    form->MediaPlayer1->setEnabledButtons({btPlay});
    const std::size_t before = layer.actions().size();
    runHandler([&] { doubleClickRow(*form, -1); });
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], QStringLiteral("List index out of bounds (-1)"));
    EXPECT_EQ(enabled(*form), (TButtonSet{btPause, btStop}));
    EXPECT_EQ(actionsSince(before), (std::vector<Command>{Command::Stop}));  // what played was stopped
}

TEST_F(ManualPlayback, DoubleClickBelowTheRowsUsesTheSelection) {
    writeSchedule();
    auto form = create();
    form->show();
    form->ListBox1->setCurrentRow(0);
    const QPoint below(20, form->ListBox1->viewport()->height() - 5);
    QMouseEvent event(QEvent::MouseButtonDblClick, below, form->ListBox1->viewport()->mapToGlobal(below),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->ListBox1->viewport(), &event);
    EXPECT_EQ(layer.last(Command::Open).params.element, "/m/a.mp3");
}

struct ButtonRow {
    TMPBtnType button;
    TButtonSet before, after;
    std::vector<Command> sent;
};

TEST_F(ManualPlayback, PlayerButtonsSetTheProgramsEnabledSets) {
    writeSchedule();
    auto form = create();
    form->ListBox1->setCurrentRow(0);
    form->ListBox1DblClick();
    const ButtonRow rows[] = {
        {btPause, {btPause, btStop}, {btPlay, btStop}, {Command::Pause}},
        {btPlay, {btPlay, btStop}, {btPause, btStop}, {Command::Play}},
        // Stop opens the file anew before stopping, so the next Play starts at the top.
        {btStop, {btPause, btStop}, {btPlay}, {Command::Close, Command::Open, Command::Play, Command::Stop}},
    };
    for (const auto& row : rows) {
        form->MediaPlayer1->setEnabledButtons(row.before);
        const std::size_t before = layer.actions().size();
        press(*form, row.button);
        EXPECT_EQ(enabled(*form), row.after) << row.button;
        EXPECT_EQ(actionsSince(before), row.sent) << row.button;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ManualPlayback, PlayWithNothingChosenAsksAndDoesNothingElse) {
    writeSchedule();
    auto form = create();
    press(*form, btPlay);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, test::ScriptedDialogs::Shown::Notice);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("You have no choice of repertoire!"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Close"));
    EXPECT_EQ(layer.count(Command::Play), 0);
    EXPECT_EQ(enabled(*form), (TButtonSet{btPlay}));
}

TEST_F(ManualPlayback, FailuresKeepWhatTheHandlerHadDone) {
    writeSchedule();
    layer.unplayable.insert("/m/gone.mp3");
    auto form = create();
    dialogs.files = {QStringLiteral("/m/gone.mp3")};
    form->Button1->click();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(enabled(*form), (TButtonSet{btPause, btStop}));
    EXPECT_EQ(form->MediaPlayer1->FileName(), "/m/gone.mp3");
    EXPECT_EQ(form->MediaPlayer1->DeviceID(), 0);
    // Nothing plays, and the status does not say it does.
    EXPECT_EQ(form->statusText(), QStringLiteral("No repertoire is being played"));

    // The player's Stop reopens the file; when that fails, Play stays the only button
    // and the stop itself is not run.
    form->MediaPlayer1->setEnabledButtons({btStop});
    const std::size_t before = layer.actions().size();
    press(*form, btStop);
    EXPECT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(enabled(*form), (TButtonSet{btPlay}));
    EXPECT_EQ(actionsSince(before), (std::vector<Command>{Command::Open}));

    form->MediaPlayer1->setEnabledButtons(kAllButtons);
    press(*form, btNext);
    ASSERT_EQ(dialogs.errors().size(), 3u);
    EXPECT_EQ(dialogs.errors()[2], QStringLiteral("No MCI device open."));
}

}  // namespace
