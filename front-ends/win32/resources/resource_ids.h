#pragma once

// Resources of tollbrook.exe beside the ones named by strings (the 27 glyph bitmaps of
// the player, "EN_MPPLAY" ..., and the manifest).
#define IDI_TOLLBROOK 1  // the bell: the program's icon, in the windows and the tray
