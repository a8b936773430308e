// The main window's widgets over its presenter: they show what it says and hand it their
// events. The rules themselves are tested on the presenter (tests/core/presenters/).
#include "tests/front-ends/qt/main_window_fixture.h"
#include "core/presenters/main_window_design.h"
#include "front-ends/qt/tform4.h"
#include "front-ends/qt/tmediaplayer.h"
#include "front-ends/qt/ttimer.h"

#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>

using namespace tb;
using namespace tb::mci;
using tb::test::MainWindowTest;

namespace {

class MainWindow : public MainWindowTest {
protected:
    // A press of one of the player's buttons, as the mouse makes it.
    static void press(TForm1& form, TMPBtnType button) {
        form.controls().MediaPlayer1->show();
        const QPoint at(form.controls().MediaPlayer1->buttonLeft(button) + 14, 15);
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, form.controls().MediaPlayer1->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(form.controls().MediaPlayer1, &event);
        }
    }
};

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Every control of the design at its place, with its text, tooltip and names; the menus
// with their items in order.
TEST_F(MainWindow, LayoutAndMenusAreTheDesigns) {
    auto form = create();
    const design::Window& d = design::mainWindow();
    EXPECT_EQ(form->windowTitle(), text(d.caption));
    EXPECT_EQ(form->centralWidget()->size() + QSize(0, form->statusBar()->height()), QSize(d.width, d.height));
    QSet<QString> names;
    for (const design::Control& c : d.controls) {
        SCOPED_TRACE(std::string(c.name));
        QWidget* w = form->controls().byName.at(c.name);
        if (c.kind != design::Kind::StatusPanel && c.kind != design::Kind::StatusBar) {
            EXPECT_EQ(w->geometry(), QRect(c.rect.x, c.rect.y, c.rect.width, c.rect.height));
        } else if (c.rect.width > 0) {
            EXPECT_EQ(w->width(), c.rect.width);
        }
        if (auto* g = qobject_cast<QGroupBox*>(w)) { EXPECT_EQ(g->title(), text(c.text)); }
        if (auto* b = qobject_cast<QPushButton*>(w)) { EXPECT_EQ(b->text(), text(c.text)); }
        EXPECT_EQ(w->toolTip(), text(c.hint));
        EXPECT_EQ(w->accessibleName(), text(c.accessibleName));
        if (!c.hint.empty()) { EXPECT_EQ(w->accessibleDescription(), text(c.hint)); }
        if (c.font) { EXPECT_EQ(w->font().pixelSize(), c.font->pixels); }
        EXPECT_FALSE(names.contains(w->accessibleName())) << "two controls are named alike";
        names.insert(w->accessibleName());
    }
    QStringList bar, expected;
    for (QAction* a : form->menuBar()->actions()) bar << a->text();
    for (const auto& item : design::mainMenu())
        if (item.level == 0) expected << text(item.text);
    EXPECT_EQ(bar, expected);
    std::vector<design::MainWindowMenuItem> items(design::trayMenu().begin(), design::trayMenu().end());
    for (const auto& item : design::mainMenu())
        if (item.handler != nullptr) items.push_back(item);
    for (const auto& item : items) {
        SCOPED_TRACE(std::string(item.name));
        QAction* a = form->controls().items.at(item.name);
        EXPECT_EQ(a->text(), text(item.text));
        EXPECT_EQ(a->isSeparator(), item.text.empty());
        EXPECT_EQ(a->isCheckable(), item.checkable);
    }
    EXPECT_EQ(form->controls().PopupMenu1->actions().size(), static_cast<qsizetype>(design::trayMenu().size()));
}

TEST_F(MainWindow, ControlsShowWhatThePresenterSaysAndForwardTheirEvents) {
    writeSchedule();
    auto form = create();
    EXPECT_EQ(form->controls().TrackBar1->value(), 255);
    EXPECT_EQ(rows(form->controls().ListBox1), (QStringList{QStringLiteral("/m/a.mp3|8:00:00"), QStringLiteral("/m/b.mp3|9:00:00")}));
    EXPECT_EQ(form->controls().MediaPlayer1->EnabledButtons(), TButtonSet{btPlay});
    EXPECT_TRUE(form->controls().Timer1->Enabled());

    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->controls().Edit3->text(), QStringLiteral("8:00:00"));
    EXPECT_EQ(form->statusText(), QStringLiteral("A repertoire being played:/m/a.mp3"));
    EXPECT_EQ(form->controls().ListBox1->currentRow(), 0);
    press(*form, btPause);
    EXPECT_EQ(layer.count(Command::Pause), 1);
    EXPECT_EQ(form->controls().MediaPlayer1->EnabledButtons(), (TButtonSet{btPlay, btStop}));

    volume.set.clear();
    form->controls().TrackBar1->setValue(1);
    EXPECT_EQ(volume.set, std::vector<std::uint32_t>{0x01000100u});
    // Both auto-run items show the one mark and switch the entry.
    form->controls().N8->trigger();
    EXPECT_TRUE(form->controls().N8->isChecked());
    EXPECT_TRUE(form->controls().N12->isChecked());
    EXPECT_EQ(autostart.read(), "/opt/tollbrook/tollbrook");
    form->controls().N12->trigger();
    EXPECT_FALSE(form->controls().N8->isChecked());
    EXPECT_FALSE(form->controls().N12->isChecked());
    EXPECT_FALSE(std::filesystem::exists(autostart.entry()));

    dialogs.files = {"/m/chosen.mp3"};
    form->controls().Button1->click();
    EXPECT_EQ(form->statusText(), QStringLiteral("playing /m/chosen.mp3"));
    writeSchedule({{"/m/c.mp3", "10:00:00"}});
    form->controls().BitBtn2->click();
    EXPECT_EQ(rows(form->controls().ListBox1), QStringList{QStringLiteral("/m/c.mp3|10:00:00")});
    EXPECT_EQ(dialogs.texts(test::ScriptedDialogs::Shown::FileDialog).size(), 1u);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// A double click anywhere in the playlist view, below the rows too, plays the selection.
TEST_F(MainWindow, DoubleClickBelowTheRowsUsesTheSelection) {
    writeSchedule();
    auto form = create();
    form->show();
    form->controls().ListBox1->setCurrentRow(0);
    const QPoint below(20, form->controls().ListBox1->viewport()->height() - 5);
    QMouseEvent event(QEvent::MouseButtonDblClick, below, form->controls().ListBox1->viewport()->mapToGlobal(below),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->controls().ListBox1->viewport(), &event);
    EXPECT_EQ(layer.last(Command::Open).params.element, "/m/a.mp3");
}

TEST_F(MainWindow, ViewWindowIsASnapshotOfThePaths) {
    writeSchedule({{"/m/a.mp3", "8:00:00"}, {"", "no bar"}});
    auto form = create();
    form->controls().N5->trigger();
    writeSchedule({{"/m/c.mp3", "10:00:00"}});
    form->controls().BitBtn2->click();
    form->controls().N13->trigger();
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

TEST_F(MainWindow, AboutWindowShowsTheBuiltInTextEachTime) {
    auto form = create();
    form->controls().R1->trigger();
    auto* about = dynamic_cast<TForm5*>(form->childWindows()[0].get());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About software"));
    EXPECT_EQ(about->controls().Label1->text(), QStringLiteral("Tollbrook"));
    about->controls().Memo1->setPlainText(QStringLiteral("changed"));
    form->controls().R1->trigger();
    auto* again = dynamic_cast<TForm5*>(form->childWindows()[1].get());
    EXPECT_EQ(again->controls().Memo1->toPlainText().split(QStringLiteral("\n\n")).size(), 3);
}

}  // namespace
