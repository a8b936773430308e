// The main window's widgets over its presenter: they show what it says and hand it their
// events. The rules themselves are tested on the presenter (tests/core/presenters/).
#include "tests/front-ends/qt/main_window_fixture.h"
#include "front-ends/qt/tform4.h"
#include "front-ends/qt/tmediaplayer.h"
#include "front-ends/qt/ttimer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

using namespace tb;
using namespace tb::mci;
using tb::test::MainWindowTest;

namespace {

class MainWindow : public MainWindowTest {
protected:
    // A press of one of the player's buttons, as the mouse makes it.
    static void press(TForm1& form, TMPBtnType button) {
        form.MediaPlayer1->show();
        const QPoint at(form.MediaPlayer1->buttonLeft(button) + 14, 15);
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, form.MediaPlayer1->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(form.MediaPlayer1, &event);
        }
    }
};

TEST_F(MainWindow, ControlsShowWhatThePresenterSaysAndForwardTheirEvents) {
    writeSchedule();
    auto form = create();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tollbrook"));
    EXPECT_EQ(form->TrackBar1->value(), 255);
    EXPECT_EQ(rows(form->ListBox1), (QStringList{QStringLiteral("/m/a.mp3|8:00:00"), QStringLiteral("/m/b.mp3|9:00:00")}));
    EXPECT_EQ(form->MediaPlayer1->EnabledButtons(), TButtonSet{btPlay});
    EXPECT_TRUE(form->Timer1->Enabled());

    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("8:00:00"));
    EXPECT_EQ(form->statusText(), QStringLiteral("A repertoire being played:/m/a.mp3"));
    EXPECT_EQ(form->ListBox1->currentRow(), 0);
    press(*form, btPause);
    EXPECT_EQ(layer.count(Command::Pause), 1);
    EXPECT_EQ(form->MediaPlayer1->EnabledButtons(), (TButtonSet{btPlay, btStop}));

    volume.set.clear();
    form->TrackBar1->setValue(1);
    EXPECT_EQ(volume.set, std::vector<std::uint32_t>{0x01000100u});
    // Both auto-run items show the one mark and switch the entry.
    form->N8->trigger();
    EXPECT_TRUE(form->N8->isChecked());
    EXPECT_TRUE(form->N12->isChecked());
    EXPECT_EQ(autostart.read(), "/opt/tollbrook/tollbrook");
    form->N12->trigger();
    EXPECT_FALSE(form->N8->isChecked());
    EXPECT_FALSE(form->N12->isChecked());
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));

    dialogs.files = {"/m/chosen.mp3"};
    form->Button1->click();
    EXPECT_EQ(form->statusText(), QStringLiteral("playing /m/chosen.mp3"));
    writeSchedule({{"/m/c.mp3", "10:00:00"}});
    form->BitBtn2->click();
    EXPECT_EQ(rows(form->ListBox1), QStringList{QStringLiteral("/m/c.mp3|10:00:00")});
    EXPECT_EQ(dialogs.texts(test::ScriptedDialogs::Shown::FileDialog).size(), 1u);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// A double click anywhere in the playlist view, below the rows too, plays the selection.
TEST_F(MainWindow, DoubleClickBelowTheRowsUsesTheSelection) {
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
    ASSERT_TRUE(first && second) << "the two windows opened are not both view windows";
    EXPECT_EQ(rows(first->controls().ListBox1), (QStringList{QStringLiteral("/m/a.mp3"), QString()}));
    EXPECT_EQ(rows(second->controls().ListBox1), (QStringList{QStringLiteral("/m/c.mp3")}));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Existing repertoire view"));
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// A window the user has closed is given back when the next one opens; open ones stay.
TEST_F(MainWindow, ClosedWindowsAreGivenBackWhenAnotherOpens) {
    auto form = create();
    form->N5->trigger();
    form->R1->trigger();
    QPointer<QWidget> closed = form->childWindows()[0].get();
    closed->close();
    form->N13->trigger();
    EXPECT_TRUE(closed.isNull());
    ASSERT_EQ(form->childWindows().size(), 2u);
    EXPECT_NE(dynamic_cast<TForm5*>(form->childWindows()[0].get()), nullptr);
    EXPECT_TRUE(form->childWindows()[0]->isVisible());
    EXPECT_NE(dynamic_cast<TForm4*>(form->childWindows()[1].get()), nullptr);
}

TEST_F(MainWindow, AboutWindowShowsTheBuiltInTextEachTime) {
    auto form = create();
    form->R1->trigger();
    auto* about = dynamic_cast<TForm5*>(form->childWindows()[0].get());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About software"));
    EXPECT_EQ(about->controls().Label1->text(), QStringLiteral("Tollbrook"));
    about->controls().Memo1->setPlainText(QStringLiteral("changed"));
    form->R1->trigger();
    auto* again = dynamic_cast<TForm5*>(form->childWindows()[1].get());
    EXPECT_EQ(again->controls().Memo1->toPlainText().split(QStringLiteral("\n\n")).size(), 3);
}

}  // namespace
