#pragma once

#include "playback/core/media_player_device.h"

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>

namespace tb {

// The media player control: a row of up to nine buttons over one device of the media
// layer. The device operations come from MediaPlayerDevice; this class lays out, draws
// and presses the buttons.
class TMediaPlayer final : public QWidget, public MediaPlayerDevice {
    Q_OBJECT

public:
    // Handlers of a press: OnClick before the button's action (it may decline it by
    // clearing doDefault), OnPostClick after it.
    using EMPNotify = std::function<void(TMediaPlayer& sender, TMPBtnType button, bool& doDefault)>;
    using EMPPostNotify = std::function<void(TMediaPlayer& sender, TMPBtnType button)>;

    TMediaPlayer(MediaLayer& layer, QWidget* parent = nullptr);

    TButtonSet VisibleButtons() const { return FVisibleButtons; }
    void setVisibleButtons(TButtonSet buttons);
    TButtonSet EnabledButtons() const { return FEnabledButtons; }
    void setEnabledButtons(TButtonSet buttons);
    TButtonSet ColoredButtons() const { return FColoredButtons; }
    void setColoredButtons(TButtonSet buttons);
    void setAutoEnable(bool value);

    EMPNotify OnClick;
    EMPPostNotify OnPostClick;

    void RefreshAutoButtons() override;

    // Layout and press state, for whoever draws or tests the bar.
    int ButtonWidth() const { return ButtonWidth_; }
    // Smallest button: the widest glyph + 8 by the tallest + 4.
    QPoint MinBtnSize() const { return MinBtnSize_; }
    TMPBtnType FocusedButton() const { return FocusedButton_; }
    TMPBtnType CurrentButton() const { return CurrentButton_; }
    bool Pressed() const { return Pressed_; }
    bool Down() const { return Down_; }
    // The glyph a button shows now: "EN", "DI" or "CL".
    const char* glyphKind(TMPBtnType button) const;
    // Left edge of a shown button, or -1.
    int buttonLeft(TMPBtnType button) const;
    // Whether a keyboard press (Space) would act on the button.
    bool pressableByKeyboard(TMPBtnType button) const { return FEnabledButtons.contains(button); }
    // Moves the keyboard focus to the button and presses it as Space does.
    void pressByKeyboard(TMPBtnType button);
    // The name of a button for screen readers: "Play", "Pause" ...
    static QString buttonName(TMPBtnType button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void playRestartedByTrackJump() override { CurrentButton_ = btPlay; }

private:
    struct Glyphs {
        QPixmap enabled, disabled, coloured;
    };

    int shownCount() const;
    void layoutButtons();
    void ensureLaidOut();
    bool pressableByMouse(TMPBtnType button) const;
    void press(const QPoint& at);
    void click();
    void paintButton(QPainter& painter, TMPBtnType button, int x);

    TButtonSet FVisibleButtons = kAllButtons;
    TButtonSet FEnabledButtons = kAllButtons;
    TButtonSet FColoredButtons = kAllButtons;
    TButtonSet autoFlags_;  // FAutoButtons as the bar last took it up
    std::array<Glyphs, 9> Buttons;
    int ButtonWidth_ = 0;
    QPoint MinBtnSize_;
    QSize laidOutSize_;  // the size the buttons were last laid out for
    TMPBtnType FocusedButton_ = btPlay;
    TMPBtnType CurrentButton_ = btPlay;
    QRect CurrentRect;
    bool Pressed_ = false;
    bool Down_ = false;
};

}  // namespace tb
