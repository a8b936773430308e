#pragma once

#include "core/playback/player_bar.h"
#include "front-ends/win32/window.h"

namespace tb {

// The media player control as Windows draws it: a custom control whose row of up to
// nine buttons, their press and their click are the player bar's (PlayerBar). This
// class paints what the bar says with the glyph bitmaps of the program's resources and
// feeds it the mouse and the keys.
class TMediaPlayer final : public Window, public PlayerBar {
public:
    // A child control of `parent` at `place` (the parent's client pixels), which the
    // bar's layout rule then corrects as it says.
    TMediaPlayer(MediaLayer& layer, HWND parent, int id, const RECT& place);
    ~TMediaPlayer() override;
};

}  // namespace tb
