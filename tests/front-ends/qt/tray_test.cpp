// The main window and its tray icon, with the notification area behind a fake that
// the test drives: when the window goes to the tray, and how it comes back.
#include "tests/front-ends/qt/main_window_fixture.h"
#include "front-ends/qt/ttimer.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>

using namespace tb;
using Activation = tb::TrayArea::Activation;

namespace {

struct FakeTrayState {
    bool available = true;
    bool doubleClicks = true;  // an XEmbed panel; a StatusNotifierItem host has none
    bool visible = false;
    QString toolTip;
    QMenu* menu = nullptr;
    bool hasIcon = false;
    std::function<void(Activation)>* activate = nullptr;
};

class FakeTray final : public TrayArea {
public:
    explicit FakeTray(FakeTrayState& state) : state_(state) { state_.activate = &onActivated; }
    bool available() const override { return state_.available; }
    bool reportsDoubleClicks() const override { return state_.doubleClicks; }
    void setIcon(const QIcon& icon) override { state_.hasIcon = !icon.isNull(); }
    void setToolTip(const QString& text) override { state_.toolTip = text; }
    void setMenu(QMenu* menu) override { state_.menu = menu; }
    void setVisible(bool visible) override { state_.visible = visible; }

private:
    FakeTrayState& state_;
};

class Tray : public test::MainWindowTest {
protected:
    std::unique_ptr<TForm1> shown() {
        writeSchedule();
        auto form = std::make_unique<TForm1>(
            MainWindowServices{app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, layer, volume, autostart,
                               dialogs},
            [this] { return std::make_unique<FakeTray>(tray); });
        runHandler([&] { form->FormCreate(); });
        form->showCentred();
        QApplication::processEvents();
        return form;
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    void activate(Activation how) {
        (*tray.activate)(how);
        settle();
    }
    enum class Seen { Shown, InTray, Minimized };
    static Seen state(const TForm1& form) {
        if (!form.isVisible()) return Seen::InTray;
        return form.isMinimized() ? Seen::Minimized : Seen::Shown;
    }

    FakeTrayState tray;
};

TEST_F(Tray, IconShowsTheBellTheTooltipAndTheMenu) {
    auto form = shown();
    EXPECT_TRUE(tray.visible);
    EXPECT_TRUE(tray.hasIcon);
    EXPECT_EQ(tray.toolTip, QStringLiteral("TollbrookV1.01"));
    EXPECT_EQ(tray.menu, form->controls().PopupMenu1);
    EXPECT_FALSE(form->windowIcon().isNull());
}

struct Step {
    const char* what;
    std::function<void(TForm1&)> act;
    int expected;  // Seen
};

TEST_F(Tray, WindowGoesToTheTrayAndComesBack) {
    auto form = shown();
    const Step steps[] = {
        {"minimize", [](TForm1& f) { f.showMinimized(); }, 1},
        {"double click", [this](TForm1&) { activate(Activation::DoubleClick); }, 0},
        {"put on the tray", [](TForm1& f) { f.controls().BitBtn1->click(); }, 1},
        {"single click on an XEmbed panel", [this](TForm1&) { activate(Activation::Click); }, 1},
        {"restore window", [](TForm1& f) { f.controls().M1->trigger(); }, 0},
        {"restore while shown", [](TForm1& f) { f.controls().M1->trigger(); }, 0},
        {"minimize again", [](TForm1& f) { f.showMinimized(); }, 1},
    };
    for (const auto& step : steps) {
        step.act(*form);
        settle();
        EXPECT_EQ(static_cast<int>(state(*form)), step.expected) << step.what;
        EXPECT_TRUE(tray.visible) << step.what;
    }
    // A StatusNotifierItem host reports no double click: one activation restores.
    tray.doubleClicks = false;
    activate(Activation::Click);
    EXPECT_EQ(state(*form), Seen::Shown);
    EXPECT_FALSE(form->isMinimized());
}

TEST_F(Tray, WithoutANotificationAreaTheWindowIsNeverHidden) {
    tray.available = false;
    auto form = shown();
    form->showMinimized();
    settle();
    EXPECT_EQ(state(*form), Seen::Minimized);
    form->showNormal();
    settle();
    form->controls().BitBtn1->click();
    settle();
    EXPECT_EQ(state(*form), Seen::Minimized);
    // A panel that starts later is used from then on.
    tray.available = true;
    form->showNormal();
    settle();
    form->controls().BitBtn1->click();
    settle();
    EXPECT_EQ(state(*form), Seen::InTray);
}

TEST_F(Tray, BellsRingWhileTheWindowIsInTheTray) {
    auto form = shown();
    form->controls().BitBtn1->click();
    settle();
    ASSERT_EQ(state(*form), Seen::InTray);
    EXPECT_TRUE(form->controls().Timer1->Enabled());
    clock.at(8, 0, 0, 5);
    form->Timer1Timer();
    EXPECT_EQ(layer.count(mci::Command::Play), 1);
}

}  // namespace
