// The small rules every front end shares: Enter on a row, the volume slider, the
// editor's run, the tray icon's set-up, the windows kept beside the main window, the
// schedule timer's arming and the sizes that follow from a glyph or a caption.
#include "core/error_boxes.h"
#include "core/presenters/kept_windows.h"
#include "core/schedule/second_timer.h"
#include "tests/core/presenters/main_window_fixture.h"

#include <stdexcept>

namespace tb::test {
namespace {

using Shown = ScriptedDialogs::Shown;

TEST_F(Presenter, EnterPlaysTheSelectedRowAndWithoutOneDoesNothing) {
    create({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "9:00:00"}});
    for (const auto row : {std::optional<std::size_t>{}, std::optional<std::size_t>{1}}) {
        view.selected = row;
        run(&MainWindowPresenter::ListBox1EnterPressed);
        EXPECT_EQ(opened(), row ? std::vector<std::string>{m("b.mp3")} : std::vector<std::string>{});
    }
    EXPECT_TRUE(dialogs.errors().empty());
}

// A change to the position the volume already has sets nothing.
TEST_F(Presenter, VolumeIsSetOnlyWhenTheSliderMoves) {
    create({});
    for (int position : {255, 0, 0, 1, 1, 255}) view.setVolumeSlider(position);
    EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0xFF00FF00u, 0u, 0x01000100u, 0xFF00FF00u}));
}

// A schedule the editor cannot read is reported, and the editor opens all the same.
TEST_F(Presenter, EditorWhoseOpeningFailsIsShownAndGivenBack) {
    create({});
    view.editorFailsToCreate = true;
    run(&MainWindowPresenter::N6Click);
    EXPECT_EQ(view.editors, (std::vector<std::string>{"FormCreate", "caption:Edit Playlist",
                                                       "heading:Editable playlist", "ShowModal", "given back"}));
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"Cannot open file playlist.ini."});
}

struct FakeTrayIcon {
    void setHint(const std::string& hint) { steps.push_back("hint:" + hint); }
    void setIcon(int picture) { steps.push_back("icon:" + std::to_string(picture)); }
    void setPopupMenu(const char* menu) { steps.push_back(std::string("menu:") + menu); }
    void setIconVisible(bool visible) {
        steps.push_back(std::string(visible ? "shown" : "hidden") + (MinimizeToTray ? ", minimizing to tray" : ""));
    }
    bool MinimizeToTray = false;
    std::function<void()> OnDblClick;
    std::vector<std::string> steps;
};

// Shown last, the icon appears with its final picture and tooltip.
TEST_F(Presenter, TrayIconIsSetUpInOrderAndItsDoubleClickRestores) {
    FakeTrayIcon icon;
    presenter.setUpTrayIcon(icon, 7, "PopupMenu1");
    EXPECT_EQ(icon.steps, (std::vector<std::string>{"hint:TollbrookV1.01", "icon:7", "menu:PopupMenu1",
                                                     "shown, minimizing to tray"}));
    ASSERT_TRUE(icon.OnDblClick);
}

TEST(KeptWindows, ClosedOnesAreGivenBackWhenTheNextOpens) {
    struct Window {
        int id;
        bool closed = false;
    };
    KeptWindows<Window> kept([](const Window& w) { return w.closed; });
    for (int id : {1, 2, 3}) kept.keep(std::make_unique<Window>(Window{id}));
    kept.windows()[1]->closed = kept.windows()[2]->closed = true;
    kept.keep(std::make_unique<Window>(Window{4}));
    std::vector<int> ids;
    for (const auto& w : kept.windows()) ids.push_back(w->id);
    EXPECT_EQ(ids, (std::vector<int>{1, 4}));
}

// A one-shot timer driven by hand: what it was armed with, in order.
struct DrivenTimer {
    FakeClock clock;
    std::vector<std::string> steps;
    bool refuse = false;
    SecondTimer timer{clock,
                      [this](int ms) {
                          if (refuse) throw std::runtime_error("Not enough timers available");
                          steps.push_back("armed " + std::to_string(ms));
                      },
                      [this] { steps.push_back("stopped"); }};
};

TEST(SecondTimer, ArmsForJustAfterTheNextSecondAndAgainBeforeEachTick) {
    ScriptedDialogs dialogs;
    DrivenTimer t;
    t.timer.OnTimer = [&] {
        t.steps.push_back("tick");
        throw std::runtime_error("bell failed");
    };
    t.clock.at(8, 0, 0, 990);
    t.timer.setEnabled(true);
    t.clock.at(8, 0, 1, 2);
    t.timer.fired();
    EXPECT_EQ(t.steps, (std::vector<std::string>{"armed 11", "armed 999", "tick"}));
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"bell failed."});

    t.steps.clear();
    t.timer.setEnabled(false);
    t.timer.fired();  // a tick already on its way
    EXPECT_EQ(t.steps, std::vector<std::string>{"stopped"});
}

TEST(SecondTimer, RefusedTimerStaysDisabled) {
    DrivenTimer t;
    t.refuse = true;
    EXPECT_THROW(t.timer.setEnabled(true), std::runtime_error);
    EXPECT_FALSE(t.timer.Enabled());
}

TEST(Sizes, SmallestPlayerButtonAndErrorBoxCaptionRoom) {
    EXPECT_EQ(PlayerBar::buttonForGlyphs({16, 16}), (PlayerBar::Size{24, 20}));
    EXPECT_EQ(PlayerBar::buttonForGlyphs({21, 15}), (PlayerBar::Size{29, 19}));
    EXPECT_EQ(boxWidthForCaption(200), 320);
    EXPECT_EQ(boxWidthForCaption(200, 144), 380);
    EXPECT_EQ(boxWidthForCaption(0, 120), 150);
}

}  // namespace
}  // namespace tb::test
