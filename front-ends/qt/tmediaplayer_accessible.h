#pragma once

namespace tb {

// Makes screen readers see the player control as a tool bar of push buttons, one per
// shown button, with its name and whether it can be pressed. Idempotent.
void installPlayerAccessibility();

class TMediaPlayer;
// Tells screen readers that the player's buttons may have changed their state.
void notifyPlayerButtonStates(TMediaPlayer* player);
// Tells screen readers which button has the keyboard focus, when the control has it.
void notifyPlayerFocus(TMediaPlayer* player);

}  // namespace tb
