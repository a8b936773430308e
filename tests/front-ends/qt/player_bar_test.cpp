// The player's button bar as a widget on the offscreen platform, over a recording media
// layer: it takes the model's size, paints the glyphs the model says and feeds it the
// mouse and the keys. The bar's rules are tested on the model (tests/core/presenters/).
#include "core/handler.h"
#include "front-ends/qt/tmediaplayer.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/scripted_dialogs.h"

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
        player.OnClick = [this](tb::PlayerBar&, TMPBtnType b, bool&) { clicks.push_back(b); };
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

    test::ScriptedDialogs dialogs;
    test::RecordingLayer layer;
    TMediaPlayer player{layer};
    std::vector<TMPBtnType> clicks;
};

TEST_F(PlayerBar, WidgetTakesTheSizeTheLayoutGivesAndTheSmallestButtonFromTheGlyphs) {
    player.setGeometry(0, 0, 100, 10);
    player.show();
    EXPECT_EQ(player.size(), QSize(253, 20));
    EXPECT_EQ(player.MinBtnSize(), QPoint(29, 20));
    asMainWindow();
    EXPECT_EQ(player.size(), QSize(197, 30));
    EXPECT_EQ(player.buttonLeft(btStop), 56);
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

// Presses, moves, double clicks and keys reach the bar; a press on an enabled button
// runs its click.
TEST_F(PlayerBar, MouseAndKeyEventsReachTheBar) {
    asMainWindow();
    player.setEnabledButtons({btPlay, btStop});
    mouse(QEvent::MouseButtonPress, centre(btPlay), Qt::LeftButton);
    mouse(QEvent::MouseMove, centre(btPlay) + QPoint(60, 0), Qt::LeftButton);
    EXPECT_FALSE(player.Down());
    mouse(QEvent::MouseButtonRelease, centre(btPlay) + QPoint(60, 0));
    EXPECT_TRUE(clicks.empty());
    mouse(QEvent::MouseButtonPress, centre(btStop), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre(btStop));
    mouse(QEvent::MouseButtonDblClick, centre(btStop), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centre(btStop));
    EXPECT_EQ(clicks, (std::vector<TMPBtnType>{btStop, btStop}));
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(player.FocusedButton(), btPlay);
    key(Qt::Key_Space);
    EXPECT_EQ(clicks.back(), btPlay);
    // What a handler throws reaches the error box, not the event dispatch.
    EXPECT_EQ(dialogs.errors(), (std::vector<std::string>(3, "No MCI device open.")));
}

}  // namespace
