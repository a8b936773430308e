#pragma once

namespace tb {

// Makes screen readers see the player control as a group of push buttons, one per
// shown button, with its name and whether it can be pressed. Idempotent.
void installPlayerAccessibility();

class TMediaPlayer;
// Tells screen readers that the player's buttons may have changed their state.
void notifyPlayerButtonStates(TMediaPlayer* player);

}  // namespace tb
