// The player's button bar without pixels: its layout, its glyphs and what the mouse and
// the keys do to it.
#include "core/handler.h"
#include "core/playback/player_bar.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <functional>

namespace tb::test {
namespace {

constexpr PlayerBar::Size kSmallest{29, 20};
constexpr TButtonSet kSeven{btPlay, btPause, btStop, btNext, btPrev, btStep, btBack};

class PlayerBarModel : public ::testing::Test {
protected:
    PlayerBarModel() {
        layer.trackModes = true;
        bar.OnClick = [this](PlayerBar&, TMPBtnType b, bool& doDefault) {
            clicks.push_back(b);
            if (onClick) onClick(b, doDefault);
        };
        bar.OnPostClick = [this](PlayerBar&, TMPBtnType b) { postClicks.push_back(b); };
    }
    // The main window's bar: seven buttons, which the program enables.
    void asMainWindow() {
        bar.layOut({197, 30});
        bar.setVisibleButtons(kSeven);
        bar.setAutoEnable(false);
        bar.setAutoRewind(false);
    }
    int centre(TMPBtnType b) const { return bar.buttonLeft(b) + bar.ButtonWidth() / 2; }
    void click(int x) {
        bar.mouseDown(x);
        bar.mouseUp();
    }
    // The first letter of each button's glyph: Coloured, Disabled or Enabled.
    std::string glyphs(std::initializer_list<TMPBtnType> buttons) const {
        std::string out;
        for (TMPBtnType b : buttons) out += "CDE"[bar.glyph(b) == PlayerBar::Glyph::Coloured  ? 0
                                                  : bar.glyph(b) == PlayerBar::Glyph::Disabled ? 1
                                                                                               : 2];
        return out;
    }

    ScriptedDialogs dialogs;
    RecordingLayer layer;
    PlayerBar bar{layer, kSmallest};
    std::vector<TMPBtnType> clicks, postClicks;
    std::function<void(TMPBtnType, bool&)> onClick;
};

TEST_F(PlayerBarModel, LayoutKeepsDeclaredSizesAndGrowsTooSmallOnes) {
    const struct {
        PlayerBar::Size given;
        TButtonSet shown;
        int buttonWidth;
        PlayerBar::Size result;
    } cases[] = {{{197, 30}, kSeven, 29, {197, 30}},
                 {{316, 37}, kAllButtons, 36, {316, 37}},
                 {{240, 30}, kAllButtons, 29, {253, 30}},  // a new control
                 {{100, 10}, kAllButtons, 29, {253, 20}},
                 {{100, 30}, {}, 29, {29, 30}}};  // laid out for nine first, then one wide
    for (const auto& c : cases) {
        PlayerBar b(layer, kSmallest);
        b.layOut(c.given);
        b.setVisibleButtons(c.shown);
        EXPECT_EQ(b.laidOut(), c.result) << c.given.width;
        EXPECT_EQ(b.ButtonWidth(), c.buttonWidth) << c.given.width;
    }
    // Neighbours share their border column.
    asMainWindow();
    std::vector<int> lefts;
    for (TMPBtnType b : {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack}) lefts.push_back(bar.buttonLeft(b));
    EXPECT_EQ(lefts, (std::vector<int>{0, 28, 56, 84, 112, 140, 168}));
    EXPECT_EQ(bar.buttonLeft(btEject), -1);
}

TEST_F(PlayerBarModel, GlyphsFollowTheEnabledSetOrTheDevice) {
    asMainWindow();
    bar.setEnabledButtons({btPlay, btStop});
    EXPECT_EQ(glyphs({btPlay, btPause, btStop, btNext}), "CDCD");
    bar.setColoredButtons({btStop});
    EXPECT_EQ(glyphs({btPlay, btPause, btStop, btNext}), "EDCD");
    EXPECT_EQ(bar.glyph(btStop, false), PlayerBar::Glyph::Disabled);  // a disabled control
}

// The editor's bar: its buttons follow the device through open, play and the end.
TEST_F(PlayerBarModel, AutoEnabledButtonsFollowOpenPlayAndTheEnd) {
    bar.layOut({253, 30});
    const std::initializer_list<TMPBtnType> five{btPlay, btPause, btStop, btNext, btPrev};
    EXPECT_EQ(glyphs(five), "DDDDD");
    bar.setFileName("/m/a.wav");
    bar.Open();
    EXPECT_EQ(glyphs(five), "CDDCC");
    click(centre(btPlay));
    EXPECT_EQ(glyphs(five), "DCCCC");
    layer.status[STATUS_MODE] = MODE_STOP;  // the file has ended
    bar.MMNotify(NOTIFY_SUCCESSFUL);
    EXPECT_EQ(glyphs(five), "CDDCC");
}

// A press clicks when the release comes over the pressed button; a shared border column
// belongs to the left button.
TEST_F(PlayerBarModel, OnlyAReleaseOverThePressedButtonClicks) {
    asMainWindow();
    bar.setEnabledButtons({btPlay});
    bar.setFileName("/m/a.wav");
    bar.Open();
    struct Mouse {
        enum { Down, Move, Up } what;
        int dx;
    };
    const struct {
        const char* what;
        std::vector<Mouse> moves;  // x from Play's centre
        std::size_t clicks;
    } cases[] = {
        {"press, release", {{Mouse::Down, 0}, {Mouse::Up, 0}}, 1},
        {"press, leave, release", {{Mouse::Down, 0}, {Mouse::Move, 60}, {Mouse::Up, 60}}, 0},
        {"press, leave, return, release", {{Mouse::Down, 0}, {Mouse::Move, 60}, {Mouse::Move, 2}, {Mouse::Up, 2}}, 1},
        {"double click", {{Mouse::Down, 0}, {Mouse::Up, 0}, {Mouse::Down, 0}, {Mouse::Up, 0}}, 2},
        {"press on a disabled button", {{Mouse::Down, 28}, {Mouse::Up, 28}}, 0},
        {"press on Play's and Pause's border", {{Mouse::Down, 14}, {Mouse::Up, 14}}, 1},
    };
    for (const auto& c : cases) {
        clicks.clear();
        for (const Mouse& m : c.moves) {
            const int x = centre(btPlay) + m.dx;
            if (m.what == Mouse::Down) bar.mouseDown(x);
            if (m.what == Mouse::Move) bar.mouseMove(x, 10);
            if (m.what == Mouse::Up) bar.mouseUp();
        }
        EXPECT_EQ(clicks.size(), c.clicks) << c.what;
        EXPECT_FALSE(bar.Pressed()) << c.what;
    }
    bar.setEnabledButtons({btPause});
    clicks.clear();
    click(28);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(PlayerBarModel, KeysMoveTheFocusOverShownButtonsAndSpacePresses) {
    asMainWindow();
    using Key = PlayerBar::Key;
    bar.keyDown(Key::Left);
    EXPECT_EQ(bar.FocusedButton(), btPlay);
    for (int i = 0; i < 6; ++i) bar.keyDown(Key::Right);
    EXPECT_EQ(bar.FocusedButton(), btBack);
    bar.keyDown(Key::Right);  // past the hidden Record to the hidden Eject
    EXPECT_EQ(bar.FocusedButton(), btEject);
    bar.keyDown(Key::Right);
    EXPECT_EQ(bar.FocusedButton(), btEject);
    bar.keyDown(Key::Space);  // the hidden button is enabled, so Space presses it
    EXPECT_EQ(clicks, std::vector<TMPBtnType>{btEject});
    bar.keyDown(Key::Left);
    EXPECT_EQ(bar.FocusedButton(), btBack);
    bar.setEnabledButtons({btPlay});
    bar.keyDown(Key::Space);  // Back is not enabled
    bar.mouseDown(centre(btPause));  // nor is Pause for the mouse
    EXPECT_FALSE(bar.Pressed());
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(PlayerBarModel, DeclinedClickRunsNoActionButStillUpdatesTheAutoButtons) {
    bar.layOut({253, 30});
    bar.setFileName("/m/a.wav");
    bar.Open();
    onClick = [](TMPBtnType, bool& doDefault) { doDefault = false; };
    click(centre(btPlay));
    EXPECT_EQ(layer.count(Command::Play), 0);
    EXPECT_TRUE(postClicks.empty());
    EXPECT_EQ(bar.glyph(btPause), PlayerBar::Glyph::Coloured);  // as after a played Play
}

TEST_F(PlayerBarModel, SilentAbortEndsThePressQuietlyAndAFailedActionIsReported) {
    asMainWindow();
    bar.setEnabledButtons({btPlay});
    onClick = [](TMPBtnType, bool&) { throw SilentAbort(); };
    click(centre(btPlay));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(postClicks.empty());
    bar.mouseMove(centre(btPlay), 10);
    EXPECT_FALSE(bar.Down());
    // An action without a device reaches the error box.
    onClick = nullptr;
    click(centre(btPlay));
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"No MCI device open."});
}

TEST_F(PlayerBarModel, NoShownButtonLeavesAnOutlineThatSpaceStillPresses) {
    bar.layOut({253, 30});
    bar.setVisibleButtons({});
    EXPECT_EQ(bar.laidOut().width, 29);
    click(10);
    EXPECT_TRUE(clicks.empty());
    bar.keyDown(PlayerBar::Key::Space);
    EXPECT_EQ(clicks, std::vector<TMPBtnType>{btPlay});
}

}  // namespace
}  // namespace tb::test
