// The player's button bar on the offscreen platform, over a recording media layer.
#include "core/handler.h"
#include "front-ends/qt/tmediaplayer.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/front-ends/qt/scripted_dialogs.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace tb;
using namespace tb::mci;

namespace {

class PlayerBar : public ::testing::Test {
protected:
    PlayerBar() {
        layer.trackModes = true;
        player.OnClick = [this](tb::PlayerBar&, TMPBtnType b, bool& doDefault) {
            clicks.push_back(b);
            if (onClick) onClick(b, doDefault);
        };
        player.OnPostClick = [this](tb::PlayerBar&, TMPBtnType b) { postClicks.push_back(b); };
    }
    // The main window's control: seven buttons, buttons enabled by the program.
    void asMainWindow() {
        player.setGeometry(305, -5, 197, 30);
        player.setVisibleButtons({btPlay, btPause, btStop, btNext, btPrev, btStep, btBack});
        player.setAutoEnable(false);
        player.setAutoRewind(false);
        player.show();
    }
    QPoint centre(TMPBtnType b) const { return {player.buttonLeft(b) + player.ButtonWidth() / 2, player.height() / 2}; }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, player.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&player, &event);
    }
    void key(int code) {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(&player, &event);
    }
    int plays() const { return layer.count(Command::Play); }

    test::ScriptedDialogs dialogs;
    test::RecordingLayer layer;
    TMediaPlayer player{layer};
    std::vector<TMPBtnType> clicks, postClicks;
    std::function<void(TMPBtnType, bool&)> onClick;
};

struct LayoutCase {
    const char* name;
    int width, height;
    TButtonSet visible;
    int buttonWidth, finalWidth, finalHeight;
};

TEST_F(PlayerBar, LayoutSharesBorderColumnsAndKeepsTheDeclaredSizes) {
    const TButtonSet seven{btPlay, btPause, btStop, btNext, btPrev, btStep, btBack};
    const LayoutCase cases[] = {
        {"main window", 197, 30, seven, 29, 197, 30},
        {"editor", 316, 37, kAllButtons, 36, 316, 37},
        {"too small", 100, 10, kAllButtons, 29, 253, 20},
        {"one button keeps its width", 100, 30, TButtonSet{btStop}, 29, 29, 30},
    };
    for (const auto& c : cases) {
        TMediaPlayer bar(layer);
        bar.setGeometry(0, 0, c.width, c.height);
        bar.setVisibleButtons(c.visible);
        bar.show();
        EXPECT_EQ(bar.ButtonWidth(), c.buttonWidth) << c.name;
        EXPECT_EQ(bar.size(), QSize(c.finalWidth, c.finalHeight)) << c.name;
    }
    asMainWindow();
    std::vector<int> lefts;
    for (TMPBtnType b : {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack}) lefts.push_back(player.buttonLeft(b));
    EXPECT_EQ(lefts, (std::vector<int>{0, 28, 56, 84, 112, 140, 168}));
    EXPECT_EQ(player.buttonLeft(btEject), -1);
    EXPECT_EQ(player.MinBtnSize(), QPoint(29, 20));
}

TEST_F(PlayerBar, NewControlIsLaidOutToNineSmallestButtons) {
    EXPECT_EQ(player.size(), QSize(240, 30));
    player.show();
    EXPECT_EQ(player.size(), QSize(253, 30));
    EXPECT_EQ(player.ButtonWidth(), 29);
}

// What the control draws is the glyph it says it shows.
TEST_F(PlayerBar, PaintedGlyphsFollowTheEnabledSets) {
    asMainWindow();
    auto painted = [&](TMPBtnType b, const char* kind) {
        static const char* names[] = {"MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV", "MPSTEP", "MPBACK"};
        const QImage glyph(QStringLiteral(":/glyphs/%1_%2.xpm").arg(QLatin1String(kind), QLatin1String(names[b])));
        const QImage shot = player.grab().toImage();
        const int x = player.buttonLeft(b) + player.ButtonWidth() / 2 - glyph.width() / 2;
        const int y = player.height() / 2 - glyph.height() / 2;
        for (int gy = 0; gy < glyph.height(); ++gy)
            for (int gx = 0; gx < glyph.width(); ++gx) {
                const QColor want = glyph.pixelColor(gx, gy);
                if (want == QColor(128, 128, 0)) continue;
                if (shot.pixelColor(x + gx, y + gy) != want) return false;
            }
        return true;
    };
    struct Row {
        std::uint16_t enabled;
        const char* kinds;  // per shown button: C(oloured) or D(isabled)
    };
    for (const Row& row : {Row{1, "CDDDDDD"}, Row{5, "CDCDDDD"}, Row{6, "DCCDDDD"}}) {
        player.setEnabledButtons(TButtonSet::fromBits(row.enabled));
        for (int b = btPlay; b <= btBack; ++b) {
            const char* kind = row.kinds[b] == 'C' ? "CL" : "DI";
            EXPECT_STREQ(player.glyphKind(static_cast<TMPBtnType>(b)), kind) << row.enabled << " button " << b;
            EXPECT_TRUE(painted(static_cast<TMPBtnType>(b), kind)) << row.enabled << " button " << b;
        }
    }
    player.setEnabled(false);
    EXPECT_STREQ(player.glyphKind(btPause), "DI");
    EXPECT_TRUE(painted(btPause, "DI"));
}

// The editor's control: buttons follow the device.
TEST_F(PlayerBar, AutoEnabledButtonsFollowOpenPlayAndTheEnd) {
    player.show();
    auto kinds = [&] {
        std::string out;
        for (TMPBtnType b : {btPlay, btPause, btStop, btNext, btPrev}) out += player.glyphKind(b)[0];
        return out;
    };
    EXPECT_EQ(kinds(), "DDDDD");
    player.setFileName("/m/a.wav");
    player.Open();
    EXPECT_EQ(kinds(), "CDDCC");
    mouse(QEvent::MouseButtonPress, centre(btPlay), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre(btPlay));
    EXPECT_EQ(kinds(), "DCCCC");
    layer.status[STATUS_MODE] = MODE_STOP;  // the file has ended
    player.MMNotify(NOTIFY_SUCCESSFUL);
    EXPECT_EQ(kinds(), "CDDCC");
}

struct MouseCase {
    const char* name;
    std::vector<std::pair<QEvent::Type, int>> events;  // event and x offset from Play's centre
    int clicks;
};

TEST_F(PlayerBar, OnlyAReleaseOverThePressedButtonClicks) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    player.setFileName("/m/a.wav");
    player.Open();
    using E = QEvent;
    const MouseCase cases[] = {
        {"press, release", {{E::MouseButtonPress, 0}, {E::MouseButtonRelease, 0}}, 1},
        {"press, leave, release", {{E::MouseButtonPress, 0}, {E::MouseMove, 60}, {E::MouseButtonRelease, 60}}, 0},
        {"press, leave, return, release",
         {{E::MouseButtonPress, 0}, {E::MouseMove, 60}, {E::MouseMove, 2}, {E::MouseButtonRelease, 2}},
         1},
        {"double click",
         {{E::MouseButtonPress, 0}, {E::MouseButtonRelease, 0}, {E::MouseButtonDblClick, 0},
          {E::MouseButtonRelease, 0}},
         2},
        {"press on a disabled button", {{E::MouseButtonPress, 28}, {E::MouseButtonRelease, 28}}, 0},
    };
    for (const auto& c : cases) {
        clicks.clear();
        for (const auto& [type, dx] : c.events) {
            const bool held = type != E::MouseButtonRelease && (type != E::MouseMove || player.Pressed());
            mouse(type, centre(btPlay) + QPoint(dx, 0), held ? Qt::LeftButton : Qt::NoButton);
        }
        EXPECT_EQ(static_cast<int>(clicks.size()), c.clicks) << c.name;
        EXPECT_FALSE(player.Pressed()) << c.name;
    }
    // A pointer on the border column that two buttons share hits the left one.
    player.setEnabledButtons({btPause});
    clicks.clear();
    mouse(QEvent::MouseButtonPress, QPoint(28, 10), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPoint(28, 10));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(PlayerBar, KeysMoveTheFocusOverShownButtonsAndSpacePresses) {
    asMainWindow();
    player.setEnabledButtons(kAllButtons);
    key(Qt::Key_Left);
    EXPECT_EQ(player.FocusedButton(), btPlay);
    for (int i = 0; i < 6; ++i) key(Qt::Key_Right);
    EXPECT_EQ(player.FocusedButton(), btBack);
    key(Qt::Key_Right);  // past the hidden Record to the hidden Eject
    EXPECT_EQ(player.FocusedButton(), btEject);
    key(Qt::Key_Right);
    EXPECT_EQ(player.FocusedButton(), btEject);
    key(Qt::Key_Space);  // the hidden button is enabled, so Space presses it
    EXPECT_EQ(clicks, (std::vector<TMPBtnType>{btEject}));
    key(Qt::Key_Left);
    EXPECT_EQ(player.FocusedButton(), btBack);
    player.setEnabledButtons({btPlay});
    key(Qt::Key_Space);  // Back is not enabled
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(PlayerBar, DeclinedClickRunsNoActionButStillUpdatesTheAutoButtons) {
    player.show();
    player.setFileName("/m/a.wav");
    player.Open();
    onClick = [](TMPBtnType, bool& doDefault) { doDefault = false; };
    mouse(QEvent::MouseButtonPress, centre(btPlay), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre(btPlay));
    EXPECT_EQ(plays(), 0);
    EXPECT_TRUE(postClicks.empty());
    EXPECT_STREQ(player.glyphKind(btPause), "CL");  // the press rule for Play was applied
}

TEST_F(PlayerBar, SilentAbortEndsThePressQuietly) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    onClick = [](TMPBtnType, bool&) { throw SilentAbort(); };
    mouse(QEvent::MouseButtonPress, centre(btPlay), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre(btPlay));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(postClicks.empty());
    mouse(QEvent::MouseMove, centre(btPlay));
    EXPECT_FALSE(player.Down());
    // An action without a device still reaches the error box.
    onClick = nullptr;
    mouse(QEvent::MouseButtonPress, centre(btPlay), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre(btPlay));
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], QStringLiteral("No MCI device open."));
}

TEST_F(PlayerBar, NoShownButtonLeavesAnOutlineThatSpaceStillPresses) {
    player.show();
    player.setVisibleButtons({});
    EXPECT_EQ(player.width(), 29);
    mouse(QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPoint(10, 10));
    EXPECT_TRUE(clicks.empty());
    key(Qt::Key_Space);
    EXPECT_EQ(clicks, (std::vector<TMPBtnType>{btPlay}));
}

}  // namespace
