#pragma once

#include "core/playback/media_player_device.h"

#include <string>
#include <functional>
#include <optional>

namespace tb {

// The media player control's row of buttons, without pixels: which buttons are shown,
// enabled, coloured and auto-enabled, the layout rule, the hit rule, the press that the
// mouse and the keyboard make, and the click with OnClick, the button's default action
// and OnPostClick. A front end's control derives from it, draws what it says and feeds
// it the mouse and the keys; "repaint" and "paint now" reach it as the two hooks below.
class PlayerBar : public MediaPlayerDevice {
public:
    // Handlers of a press: OnClick before the button's action (it may decline it by
    // clearing doDefault), OnPostClick after it.
    using EMPNotify = std::function<void(PlayerBar& sender, TMPBtnType button, bool& doDefault)>;
    using EMPPostNotify = std::function<void(PlayerBar& sender, TMPBtnType button)>;

    struct Size {
        int width = 0, height = 0;
        bool operator==(const Size&) const = default;
    };
    enum class Key { Space, Left, Right, Other };
    enum class Glyph { Enabled, Disabled, Coloured };

    // `minButton` is the smallest button (see buttonForGlyphs).
    PlayerBar(MediaLayer& layer, Size minButton);

    // The smallest button, for the widest and the tallest of all the glyphs: room for
    // the bevel around the glyph, 8 pixels across and 4 down.
    static constexpr Size buttonForGlyphs(Size largestGlyph) {
        return {largestGlyph.width + 8, largestGlyph.height + 4};
    }

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

    // The size the control takes for a size it was given: buttons share their border
    // columns, so n buttons of width w take n * (w - 1) + 1 pixels, and none is smaller
    // than the smallest button. Lays the buttons out for it.
    Size layOut(Size given);
    Size laidOut() const { return size_; }
    int ButtonWidth() const { return ButtonWidth_; }
    Size MinBtnSize() const { return MinBtnSize_; }
    // Left edge of a shown button, or -1.
    int buttonLeft(TMPBtnType button) const;
    int shownCount() const;

    TMPBtnType FocusedButton() const { return FocusedButton_; }
    TMPBtnType CurrentButton() const { return CurrentButton_; }
    bool Pressed() const { return Pressed_; }
    bool Down() const { return Down_; }
    // Drawn sunk: pressed over it.
    bool sunk(TMPBtnType button) const { return Down_ && button == CurrentButton_; }

    // The glyph a button shows now, on a control that is enabled or not.
    Glyph glyph(TMPBtnType button, bool controlEnabled = true) const;
    bool pressableByMouse(TMPBtnType button) const;
    bool pressableByKeyboard(TMPBtnType button) const { return FEnabledButtons.contains(button); }

    // Mouse input, in the control's pixels; the press of a double click's second click
    // is a press too. Each runs inside the handler wrapper where it can fail.
    void mouseDown(int x);
    void mouseMove(int x, int y);
    void mouseUp();
    void keyDown(Key key);
    // Moves the keyboard focus to the button and presses it as Space does (what a
    // screen reader's press action does too).
    void pressByKeyboard(TMPBtnType button);
    // The button's name for screen readers: "Play", "Pause" ...
    static const char* buttonName(TMPBtnType button);
    // The control's own name where its window gives it none.
    static constexpr const char* kName = "Player";
    // Every button, in the bar's order.
    static constexpr TMPBtnType kButtonOrder[] = {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject};
    // The name of a button's picture among the program's resources: "EN_MPPLAY".
    static std::string glyphName(TMPBtnType button, Glyph kind);
    // The focus came or went: the focus mark is drawn or removed at once.
    void focusChanged() { paintNow(); }

protected:
    // Mark the control for painting by the event loop.
    virtual void repaint() {}
    // Draw the whole control now.
    virtual void paintNow() { repaint(); }
    // The control takes a new size (keeping its place); it lays out again with it.
    virtual void resizeTo(Size) {}
    // Which buttons may be pressed may have changed.
    virtual void buttonStatesChanged() {}
    // The size the control has now, which it may have been given since the last layout.
    virtual Size currentSize() const { return size_; }

    void playRestartedByTrackJump() override { CurrentButton_ = btPlay; }

private:
    void click();

    TButtonSet FVisibleButtons = kAllButtons;
    TButtonSet FEnabledButtons = kAllButtons;
    TButtonSet FColoredButtons = kAllButtons;
    TButtonSet autoFlags_;  // FAutoButtons as the bar last took it up
    Size MinBtnSize_;
    Size size_{240, 30};
    int ButtonWidth_ = 0;
    TMPBtnType FocusedButton_ = btPlay;
    TMPBtnType CurrentButton_ = btPlay;
    int currentLeft_ = 0;  // CurrentRect: [left, left + ButtonWidth) by [0, height)
    bool Pressed_ = false;
    bool Down_ = false;
};

}  // namespace tb
