#include "core/playback/player_bar.h"

#include "core/handler.h"

#include <algorithm>

namespace tb {
namespace {

constexpr TMPBtnType kAll[] = {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject};

}  // namespace

PlayerBar::PlayerBar(MediaLayer& layer, Size minButton) : MediaPlayerDevice(layer), MinBtnSize_(minButton) {}

int PlayerBar::shownCount() const {
    int n = 0;
    for (TMPBtnType b : kAll) n += FVisibleButtons.contains(b);
    return n;
}

int PlayerBar::buttonLeft(TMPBtnType button) const {
    int left = 0;
    for (TMPBtnType b : kAll) {
        if (!FVisibleButtons.contains(b)) continue;
        if (b == button) return left;
        left += ButtonWidth_ - 1;
    }
    return -1;
}

PlayerBar::Size PlayerBar::layOut(Size given) {
    Size s = given;
    for (;;) {
        const int n = std::max(1, shownCount());
        ButtonWidth_ = (s.width - 1) / n + 1;
        const Size next{std::max(n * (ButtonWidth_ - 1) + 1, n * (MinBtnSize_.width - 1) + 1),
                        std::max(s.height, MinBtnSize_.height)};
        if (next == s) break;
        s = next;
    }
    size_ = s;
    return s;
}

void PlayerBar::setVisibleButtons(TButtonSet buttons) {
    if (currentSize() != size_ || ButtonWidth_ == 0) layOut(currentSize());
    FVisibleButtons = buttons;
    // The button width stays; the control narrows or widens to the shown buttons.
    const Size wanted{std::max(0, std::max(1, shownCount()) * (ButtonWidth_ - 1) + 1), size_.height};
    resizeTo(layOut(wanted));
    repaint();
}

void PlayerBar::setEnabledButtons(TButtonSet buttons) {
    FEnabledButtons = buttons;
    repaint();
    buttonStatesChanged();
}

void PlayerBar::setColoredButtons(TButtonSet buttons) {
    FColoredButtons = buttons;
    repaint();
}

void PlayerBar::setAutoEnable(bool value) {
    if (value == FAutoEnable) return;
    FAutoEnable = value;
    if (value) {
        RefreshAutoButtons();
    } else {
        setEnabledButtons(FEnabledButtons);
    }
}

void PlayerBar::RefreshAutoButtons() {
    autoFlags_ = FAutoButtons;
    repaint();
}

PlayerBar::Glyph PlayerBar::glyph(TMPBtnType button, bool controlEnabled) const {
    if (!controlEnabled) return Glyph::Disabled;
    const bool on = FAutoEnable ? autoFlags_.contains(button) : FEnabledButtons.contains(button);
    if (!on) return Glyph::Disabled;
    return FColoredButtons.contains(button) ? Glyph::Coloured : Glyph::Enabled;
}

bool PlayerBar::pressableByMouse(TMPBtnType button) const {
    return FEnabledButtons.contains(button) || (FAutoEnable && autoFlags_.contains(button));
}

void PlayerBar::mouseDown(int x) {
    // Both edges count, so a pointer on a shared border column hits the left button;
    // the pointer's height is not looked at.
    for (TMPBtnType b : kAll) {
        const int left = buttonLeft(b);
        if (left < 0 || x < left || x > left + ButtonWidth_) continue;
        if (!pressableByMouse(b)) return;
        CurrentButton_ = b;
        if (b != FocusedButton_) {
            FocusedButton_ = b;
            paintNow();
        }
        currentLeft_ = left;
        Pressed_ = true;
        Down_ = true;
        paintNow();
        return;
    }
}

void PlayerBar::mouseMove(int x, int y) {
    if (!Pressed_) return;
    const bool inside = x >= currentLeft_ && x < currentLeft_ + ButtonWidth_ && y >= 0 && y < size_.height;
    if (inside != Down_) {
        Down_ = inside;
        paintNow();
    }
}

void PlayerBar::mouseUp() {
    if (Pressed_ && Down_) {
        Down_ = false;
        paintNow();
        runHandler([this] {
            try {
                click();
            } catch (...) {
                Pressed_ = false;  // before the error box: its loop may bring moves
                throw;
            }
            if (FAutoEnable && Error() == 0 && MCIOpened) {
                AdjustAutoButtons(CurrentButton_);
                RefreshAutoButtons();
            }
        });
    }
    Pressed_ = false;
}

void PlayerBar::keyDown(Key key) {
    switch (key) {
        case Key::Space:
            pressByKeyboard(FocusedButton_);
            return;
        case Key::Left:
        case Key::Right: {
            // The focus can come to rest on a hidden first or last button.
            const int step = key == Key::Left ? -1 : 1;
            const TMPBtnType end = step < 0 ? btPlay : btEject;
            TMPBtnType f = FocusedButton_;
            do {
                if (f != end) f = static_cast<TMPBtnType>(f + step);
            } while (f != end && !FVisibleButtons.contains(f));
            if (f != FocusedButton_) {
                FocusedButton_ = f;
                repaint();
            }
            return;
        }
        case Key::Other:
            return;
    }
}

void PlayerBar::pressByKeyboard(TMPBtnType button) {
    if (button != FocusedButton_) {
        FocusedButton_ = button;
        repaint();
    }
    if (!pressableByKeyboard(button)) return;
    CurrentButton_ = button;
    runHandler([this] {
        click();
        if (FAutoEnable) {
            AdjustAutoButtons(CurrentButton_);
            RefreshAutoButtons();
        }
    });
}

const char* PlayerBar::buttonName(TMPBtnType button) {
    static constexpr const char* names[] = {"Play", "Pause", "Stop", "Next", "Previous", "Step", "Back", "Record", "Eject"};
    return names[button];
}

std::string PlayerBar::glyphName(TMPBtnType button, Glyph kind) {
    static constexpr const char* bases[] = {"MPPLAY", "MPPAUSE", "MPSTOP",   "MPNEXT", "MPPREV",
                                            "MPSTEP", "MPBACK",  "MPRECORD", "MPEJECT"};
    const char* prefix = kind == Glyph::Enabled ? "EN_" : kind == Glyph::Disabled ? "DI_" : "CL_";
    return prefix + std::string(bases[button]);
}

void PlayerBar::click() {
    bool doDefault = true;
    if (OnClick) OnClick(*this, CurrentButton_, doDefault);
    if (!doDefault) return;
    switch (CurrentButton_) {
        case btPlay: Play(); break;
        case btPause: Pause(); break;
        case btStop: Stop(); break;
        case btNext: Next(); break;
        case btPrev: Previous(); break;
        case btStep: Step(); break;
        case btBack: Back(); break;
        case btRecord: StartRecording(); break;
        case btEject: Eject(); break;
    }
    if (OnPostClick) OnPostClick(*this, CurrentButton_);
}

}  // namespace tb
