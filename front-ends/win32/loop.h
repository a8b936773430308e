#pragma once

#include <windows.h>

#include <functional>

namespace tb {

// Runs the thread's messages until `done` answers true, or until the application ends:
// WM_QUIT, which it posts again so that every loop outside this one ends too. Keys
// that move between controls (Tab, arrows, mnemonics) reach the active window's
// controls. Answers false when the application ended.
bool runMessages(const std::function<bool()>& done);

// Shows a window modally over the program: every other enabled top-level window of
// this thread is disabled until the window is hidden or destroyed, then enabled again,
// and `owner` is activated. Answers false when the application ended meanwhile.
bool showModal(HWND window, HWND owner);

// What ending the application's message loop means here: WM_QUIT, which every running
// loop, nested ones included, passes on until the outermost ends.
void endWin32Loops();

}  // namespace tb
