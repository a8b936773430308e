#include "core/application.h"
#include "front-ends/qt/dialog_service.h"
#include "core/handler.h"
#include "core/error_boxes.h"
#include "front-ends/qt/qt_poster.h"
#include "tests/temp_dir.h"
#include "tests/front-ends/qt/scripted_dialogs.h"
#include "tests/front-ends/qt/main_window_fixture.h"
#include "front-ends/qt/tform1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>

#include <QToolButton>

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include <sys/stat.h>

using tb::test::ScriptedDialogs;
using tb::test::TempDir;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

TEST(ErrorBox, AddsFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(tb::errorBoxText("No such file"), "No such file.");
    EXPECT_EQ(tb::errorBoxText("List index out of bounds (3)"), "List index out of bounds (3)");
    EXPECT_EQ(tb::errorBoxText("Done."), "Done.");
    EXPECT_EQ(tb::errorBoxText("quit?"), "quit?.");
    EXPECT_EQ(tb::errorBoxText("ends in a blank "), "ends in a blank ");
    EXPECT_EQ(tb::errorBoxText("Failed to set data for 'x'"), "Failed to set data for 'x'");
    EXPECT_EQ(tb::errorBoxText("\xE6\x97\xB6"), "\xE6\x97\xB6.");
    EXPECT_EQ(tb::errorBoxText(""), "");
}

class Frame : public tb::test::MainWindowTest {
protected:
    void writeSchedule() { MainWindowTest::writeSchedule(); }
};

TEST_F(Frame, HandlerErrorReachesErrorBoxAndEndsHandler) {
    bool after = false;
    tb::runHandler([&] {
        throw std::runtime_error("Something failed");
        after = true;
    });
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Shown::Error);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Something failed."));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Tollbrook"));
    EXPECT_FALSE(after);
}

// A failure that repeats while its box is open is counted in that box; another text
// still gets a box of its own.
TEST_F(Frame, RepeatedFailureIsCountedInItsOpenBox) {
    tb::setErrorBoxClock([] { return std::string("8:00:00"); });
    std::size_t deepest = 0;
    int inner = 0;
    dialogs.whileErrorShown = [&] {
        deepest = std::max(deepest, tb::openErrorBoxes());
        if (inner++ > 0) return;  // inside the first box only
        for (int i = 0; i < 2; ++i) tb::runHandler([] { throw std::runtime_error("The file cannot be found: /a.wav"); });
        tb::runHandler([] { throw std::runtime_error("Other"); });
    };
    tb::runHandler([] { throw std::runtime_error("The file cannot be found: /a.wav"); });
    tb::setErrorBoxClock({});
    EXPECT_EQ(dialogs.errors(), (std::vector<QString>{QStringLiteral("The file cannot be found: /a.wav.\n\n"
                                                                     "(3 times since 8:00:00)"),
                                                      QStringLiteral("Other.")}));
    EXPECT_EQ(deepest, 2u);
    EXPECT_EQ(tb::openErrorBoxes(), 0u);
}

TEST_F(Frame, SilentAbortShowsNothing) {
    tb::runHandler([] { throw tb::SilentAbort(); });
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Frame, FirstStartInEmptyFolderShowsOneErrorNamingPathsFile) {
    auto form = create();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0],
              q("Cannot open file \"" + (dir / "qian.ini").string() + "\". No such file or directory."));
    EXPECT_TRUE(form->ListBoxfilename().empty());
    EXPECT_TRUE(form->ListBoxtime().empty());
    EXPECT_EQ(form->ListBox1->count(), 0);
    form->showCentred();
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Frame, ScheduleFileThatIsAFifoOrADeviceDoesNotHoldUpTheStart) {
    writeSchedule();
    std::filesystem::remove(dir / "qian.ini");
    ::mkfifo((dir / "qian.ini").c_str(), 0600);
    std::filesystem::remove(dir / "hou.ini");
    std::filesystem::create_symlink("/dev/zero", dir / "hou.ini");
    auto form = create();
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], q("Cannot open file \"" + (dir / "qian.ini").string() + "\". Not a regular file."));
    std::filesystem::remove(dir / "qian.ini");
    tb::test::writeSchedule(dir.path(), {{"/m/a.mp3", "8:00:00"}});
    std::filesystem::remove(dir / "hou.ini");
    std::filesystem::create_symlink("/dev/zero", dir / "hou.ini");
    form->BitBtn2->click();
    ASSERT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(dialogs.errors()[1], q("Cannot open file \"" + (dir / "hou.ini").string() +
                                     "\". Not a regular file. The schedule loaded before stays in force."));
    form->showCentred();
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Frame, LoadStopsAtTheFirstMissingFile) {
    writeSchedule();
    std::filesystem::remove(dir / "hou.ini");
    {
        auto form = create();
        EXPECT_EQ(form->ListBoxfilename(), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3"}));
        EXPECT_TRUE(form->ListBoxtime().empty());
        EXPECT_EQ(form->ListBox1->count(), 0);
        ASSERT_EQ(dialogs.errors().size(), 1u);
        EXPECT_TRUE(dialogs.errors()[0].contains(QStringLiteral("hou.ini")));
    }
    writeSchedule();
    std::filesystem::remove(dir / "playlist.ini");
    {
        auto form = create();
        EXPECT_EQ(form->ListBoxtime(), (std::vector<std::string>{"8:00:00", "9:00:00"}));
        EXPECT_EQ(form->ListBox1->count(), 0);
        EXPECT_TRUE(dialogs.errors().back().contains(QStringLiteral("playlist.ini")));
    }
}

TEST_F(Frame, LoadsAllThreeLists) {
    writeSchedule();
    auto form = create();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(form->ListBoxfilename(), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3"}));
    EXPECT_EQ(form->ListBoxtime(), (std::vector<std::string>{"8:00:00", "9:00:00"}));
    EXPECT_EQ(rows(form->ListBox1), (QStringList{QStringLiteral("/m/a.mp3|8:00:00"), QStringLiteral("/m/b.mp3|9:00:00")}));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tollbrook"));
}

TEST_F(Frame, TimeFormatFollowsAChangeOfRegionalSettings) {
    auto form = create();
    EXPECT_EQ(form->timeFormat().render({17, 5, 9, 0}), "17:05:09");
    tb::LocaleSettings twelve;
    twelve.twelveHour = true;
    twelve.amString = "AM";
    twelve.pmString = "PM";
    locale.set(twelve);
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(form.get(), &change);
    EXPECT_EQ(form->timeFormat().render({17, 5, 9, 0}), "5:05:09 PM");
}

TEST_F(Frame, ExitAnsweredNoChangesNothing) {
    writeSchedule();
    auto form = create();
    form->showCentred();
    dialogs.answers = {false};
    form->N18->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Shown::Question);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Do you really want to exit\uFF1F"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Exit system\uFF1F"));
    EXPECT_FALSE(app.Terminated());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(Frame, ExitAnsweredYesCollapsesWindowThenTerminates) {
    writeSchedule();
    auto form = create();
    form->showCentred();
    dialogs.answers = {true};
    QElapsedTimer clock;
    clock.start();
    // The window really shrinks, into its own centre.
    const QRect start = form->geometry();
    std::vector<QRect> seen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { seen.push_back(form->geometry()); });
    sampler.start(100);
    form->N18->trigger();
    EXPECT_GE(clock.elapsed(), 1400);
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(form->isVisible());
    ASSERT_GE(seen.size(), 3u);
    const auto smallest = std::min_element(seen.begin(), seen.end(), [](const QRect& a, const QRect& b) {
        return a.width() < b.width();
    });
    EXPECT_LT(smallest->width(), start.width() / 2) << "the window did not shrink";
    EXPECT_LT(smallest->height(), start.height() / 2) << "the window did not shrink";
    for (const QRect& r : seen) EXPECT_LE((r.center() - start.center()).manhattanLength(), 2);
}

TEST_F(Frame, PurchaseWindowIsModalAndTheCommandWaitsForIt) {
    auto form = create();
    bool modalWhileOpen = false;
    QTimer::singleShot(0, [&] {
        QWidget* window = QApplication::activeModalWidget();
        modalWhileOpen = window != nullptr && window->windowTitle() == QStringLiteral("Buy Source Code");
        if (window != nullptr) window->close();
    });
    form->BuySourceCode1->trigger();
    EXPECT_TRUE(modalWhileOpen);
    ASSERT_EQ(form->childWindows().size(), 1u);
    EXPECT_FALSE(form->childWindows()[0]->isVisible());
}

TEST_F(Frame, TrayExitWhileHiddenEndsAtOnceWithoutShowing) {
    auto form = create();
    dialogs.shown.clear();
    dialogs.answers = {true};
    form->N17->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Are you sure you want to quit?"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("exit\uFF1F"));
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Frame, SecondExitCommandOpensSecondQuestion) {
    auto form = create();
    dialogs.shown.clear();
    bool nested = false;
    dialogs.whileAsking = [&] {
        if (nested) return;
        nested = true;
        form->N17->trigger();
    };
    dialogs.answers = {false, false};
    form->N18->trigger();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].caption, QStringLiteral("exit\uFF1F"));
    EXPECT_FALSE(app.Terminated());
}

TEST_F(Frame, ClosingTheWindowTerminatesWithoutAsking) {
    auto form = create();
    form->showCentred();
    dialogs.shown.clear();
    form->close();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(app.Terminated());
}

QMessageBox* openMessageBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    return nullptr;
}

TEST(RealDialogs, QuestionHasNoOwnerAndLeavesWindowsUsable) {
    tb::QtDialogService real;
    QWidget window;
    window.show();
    QWidget* modal = &window;
    QString caption;
    QTimer::singleShot(50, [&] {
        modal = QApplication::activeModalWidget();
        QMessageBox* box = openMessageBox();
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        EXPECT_EQ(box->parentWidget(), nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(real.askYesNo("Sure?", "exit\uFF1F"));
    EXPECT_EQ(modal, nullptr);
    EXPECT_EQ(caption, QStringLiteral("exit\uFF1F"));
}

TEST(RealDialogs, ErrorBoxIsModalForTheProgram) {
    tb::QtDialogService real;
    QWidget* modal = nullptr;
    QTimer::singleShot(50, [&] {
        modal = QApplication::activeModalWidget();
        QMessageBox* box = openMessageBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->text(), QStringLiteral("Broken."));
        box->button(QMessageBox::Ok)->click();
    });
    tb::OpenErrorBox open("Broken.", {});
    real.errorBox(open, "Tollbrook");
    EXPECT_NE(modal, nullptr);
}

std::size_t residentKiB() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) / 1024;
}

// A holiday of unanswered failures: ten thousand identical ones while the first box
// waits for an answer open one box, nest no loops and keep memory flat.
TEST(RealDialogs, TenThousandRepeatsOfAnUnansweredFailureStayInOneBox) {
    tb::QtDialogService real;
    tb::DialogService* previous = tb::setDialogs(&real);
    tb::QtPoster poster;
    constexpr int kFailures = 10000;
    int ran = 0;
    std::size_t deepest = 0, residentAtThousand = 0;
    for (int i = 0; i < kFailures; ++i) {
        poster.post([&] {
            ++ran;
            deepest = std::max(deepest, tb::openErrorBoxes());
            if (ran == 1000) residentAtThousand = residentKiB();
            throw std::runtime_error("The file cannot be found: /srv/bells/rise.mp3");
        });
    }
    QString shown;
    std::function<void()> answerWhenDone = [&] {
        QMessageBox* box = openMessageBox();
        if (ran < kFailures || box == nullptr) {
            QTimer::singleShot(20, answerWhenDone);
            return;
        }
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(20, answerWhenDone);
    QCoreApplication::processEvents();  // the first failure opens the box; the rest come inside it
    QElapsedTimer waited;
    waited.start();
    while (ran < kFailures && waited.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    tb::setDialogs(previous);
    EXPECT_EQ(ran, kFailures);
    EXPECT_EQ(deepest, 1u) << "a repeat opened a box inside the box";
    EXPECT_TRUE(shown.endsWith(QStringLiteral("(10000 times)"))) << shown.toStdString();
    EXPECT_LT(residentKiB(), residentAtThousand + 2048) << "memory grew with the repeats";
    EXPECT_EQ(tb::openErrorBoxes(), 0u);
}

}  // namespace
