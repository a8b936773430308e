#pragma once

// What the probe and its hook library, loaded into another process, agree on.
#include <windows.h>

namespace tb::probe {

// Sent to a window of the program: wParam the probe's process id, lParam a menu handle
// (0: the window's menu bar). The hook answers with the menu as JSON in the mapping
// named menuMapping(probe's id).
inline constexpr const wchar_t* kMenuMessage = L"TollbrookProbe.Menu";
inline constexpr DWORD kMenuMappingSize = 256 * 1024;
inline void menuMapping(wchar_t (&name)[64], DWORD probeId) {
    wsprintfW(name, L"TollbrookProbe.Menu.%lu", probeId);
}

// The notification area's callbacks as they reach the program's thread while the
// callback hook is on it: the icon's window and, in wParam, its id (so that an icon can
// be taken out of the notification area as a restarted shell would have lost it).
struct Callback {
    UINT64 window;
    UINT message;
    UINT64 wParam;
    INT64 lParam;
};
struct Callbacks {
    LONG count;
    Callback calls[64];
};
inline constexpr const wchar_t* kCallbacksMapping = L"TollbrookProbe.Callbacks";

}  // namespace tb::probe
