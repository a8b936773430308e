// The player's button bar without pixels: its layout rule and what a press does.
#include "core/playback/player_bar.h"
#include "tests/core/playback/recording_layer.h"

#include <gtest/gtest.h>

namespace tb::test {
namespace {

constexpr PlayerBar::Size kSmallest{29, 20};

TEST(PlayerBarModel, LayoutKeepsDeclaredSizesAndGrowsTooSmallOnes) {
    RecordingLayer layer;
    const struct {
        PlayerBar::Size given;
        TButtonSet shown;
        int buttonWidth;
        PlayerBar::Size result;
    } cases[] = {{{197, 30}, {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack}, 29, {197, 30}},
                 {{316, 37}, kAllButtons, 36, {316, 37}},
                 {{100, 10}, kAllButtons, 29, {253, 20}},
                 {{100, 30}, {}, 29, {29, 30}}};  // laid out for nine first, then one wide
    for (const auto& c : cases) {
        PlayerBar bar(layer, kSmallest);
        bar.layOut(c.given);
        bar.setVisibleButtons(c.shown);
        EXPECT_EQ(bar.laidOut(), c.result) << c.given.width;
        EXPECT_EQ(bar.ButtonWidth(), c.buttonWidth) << c.given.width;
    }
}

// A shared border column belongs to the left button; a release away from the pressed
// button clicks nothing, coming back before the release does.
TEST(PlayerBarModel, PressHitsTheLeftButtonOfABorderAndClicksOnlyOverIt) {
    RecordingLayer layer;
    PlayerBar bar(layer, kSmallest);
    bar.layOut({253, 30});
    std::vector<TMPBtnType> clicked;
    bar.OnClick = [&](PlayerBar&, TMPBtnType b, bool& doDefault) {
        clicked.push_back(b);
        doDefault = false;
    };
    bar.mouseDown(28);  // the column Play and Pause share
    EXPECT_EQ(bar.CurrentButton(), btPlay);
    bar.mouseMove(100, 10);
    EXPECT_FALSE(bar.Down());
    bar.mouseUp();
    EXPECT_TRUE(clicked.empty());
    bar.mouseDown(30);
    bar.mouseMove(100, 10);
    bar.mouseMove(40, 10);
    bar.mouseUp();
    EXPECT_EQ(clicked, (std::vector<TMPBtnType>{btPause}));
    bar.setEnabledButtons({btPlay});
    bar.setAutoEnable(false);
    bar.mouseDown(40);  // Pause is not pressable now
    EXPECT_FALSE(bar.Pressed());
    bar.keyDown(PlayerBar::Key::Space);  // the focus is on Pause, which the keyboard cannot press either
    EXPECT_EQ(clicked.size(), 1u);
}

}  // namespace
}  // namespace tb::test
