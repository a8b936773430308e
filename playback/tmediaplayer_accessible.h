#pragma once

namespace tb {

// Makes screen readers see the player control as a group of push buttons, one per
// shown button, with its name and whether it can be pressed. Idempotent.
void installPlayerAccessibility();

}  // namespace tb
