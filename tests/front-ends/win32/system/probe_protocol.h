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

// Every request that reaches the shell's notification area (WM_COPYDATA to the
// Shell_TrayWnd window) while the spy is hooked to the shell's thread.
struct ShellCall {
    DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE ...
    DWORD window;   // the icon's window, as 32 bits the way the shell takes it
    UINT id;
    WCHAR tip[128];
};
struct ShellCalls {
    LONG count;
    ShellCall calls[64];
};
inline constexpr const wchar_t* kShellSpyMapping = L"TollbrookProbe.ShellSpy";

}  // namespace tb::probe
