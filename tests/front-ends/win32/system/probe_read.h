#pragma once

// Reading another process's windows as a user sees them. Texts come through messages
// that Windows carries across processes (WM_GETTEXT, LB_GETTEXT); the controls whose
// messages take pointers (status bar, date-time picker, tooltips) are read through a
// buffer in the other process; menus through the hook library.
#include <windows.h>

#include <string>

namespace tb::probe {

// A buffer inside the process that owns a window.
class RemoteBuffer final {
public:
    explicit RemoteBuffer(HWND window, SIZE_T size = 64 * 1024);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return memory_ != nullptr; }
    // The buffer's address in the other process, `offset` bytes in.
    LPARAM at(SIZE_T offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(memory_) + offset); }
    bool write(SIZE_T offset, const void* data, SIZE_T size) const;
    bool read(SIZE_T offset, void* data, SIZE_T size) const;
    std::wstring text(SIZE_T offset, SIZE_T maxChars) const;

private:
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

// A message sent with a time limit, so that a hung program fails the probe instead of
// holding it; 0 when it was not answered.
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

std::wstring className(HWND window);
std::wstring windowText(HWND window);

// A hook procedure of the probe's library (which lies beside the probe); null module
// when it cannot be loaded.
struct Hook {
    HMODULE module = nullptr;
    HOOKPROC procedure = nullptr;
};
Hook hookLibrary(const char* procedure);

// The menu of a window of another process (its menu bar when `menu` is null), as JSON;
// "null" when the hook library could not read it.
std::string menuOf(HWND window, HMENU menu);

// A top-level window: title, class, process, state, places, caption buttons, menu bar
// and every control with what it shows.
std::string describeWindow(HWND window);
// Title, class, process, state and place only.
std::string summarizeWindow(HWND window);

// The icons in the notification area of the shell running on this thread's desktop.
std::string trayIcons();

}  // namespace tb::probe
