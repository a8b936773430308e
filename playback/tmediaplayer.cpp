#include "playback/tmediaplayer.h"

namespace tb {

TMediaPlayer::TMediaPlayer(MediaLayer& layer, QWidget* parent) : QWidget(parent), MediaPlayerDevice(layer) {
    resize(240, 30);
    setFocusPolicy(Qt::StrongFocus);
}

void TMediaPlayer::setVisibleButtons(TButtonSet buttons) {
    FVisibleButtons = buttons;
    update();
}

void TMediaPlayer::setEnabledButtons(TButtonSet buttons) {
    FEnabledButtons = buttons;
    update();
}

void TMediaPlayer::setColoredButtons(TButtonSet buttons) {
    FColoredButtons = buttons;
    update();
}

void TMediaPlayer::setAutoEnable(bool value) {
    if (value == FAutoEnable) return;
    FAutoEnable = value;
    if (value) {
        RefreshAutoButtons();
    } else {
        setEnabledButtons(FEnabledButtons);
    }
}

void TMediaPlayer::RefreshAutoButtons() { update(); }

}  // namespace tb
