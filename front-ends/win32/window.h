#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace tb {

// Lengths of a window's design in the pixels of its screen: designed at `design` dots
// per inch, shown at `dpi`.
struct Scale {
    int dpi = 96;
    int design = 96;
    int operator()(int length) const { return MulDiv(length, dpi, design); }
    RECT rect(int left, int top, int width, int height) const {
        return {(*this)(left), (*this)(top), (*this)(left) + (*this)(width), (*this)(top) + (*this)(height)};
    }
};

// The dots per inch of the monitor a window is on (of the primary monitor for none).
int dpiOf(HWND window);

// A top-level window or custom control of the program. It registers its window class
// once, creates itself, and receives its messages in handle(), and those of the child
// controls it routes in controlMessage(). These two are the only ways into the program
// from a message, and no exception leaves either: each message is handled inside the
// handler wrapper, which shows what escapes in the error box.
class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

protected:
    Window() = default;

    struct Class {
        const wchar_t* name;
        UINT style = 0;
        HICON icon = nullptr;
        HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        HCURSOR cursor = nullptr;  // the arrow when none
    };
    // Registers the class (once per process) and creates the window, whose messages
    // then come to handle(), WM_NCCREATE's included. `x`, `y`, `width` and `height` are
    // the window's own, or CW_USEDEFAULT.
    void create(const Class& windowClass, DWORD style, DWORD exStyle, const std::wstring& title, HWND parent,
                int x, int y, int width, int height, HMENU menuOrId = nullptr);

    // A message; whatever it does not handle goes on to DefWindowProc.
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Sends a child control's own messages (a list's double click below its rows, a
    // group box's painting) to controlMessage() first, for as long as the control lives.
    void route(HWND control);
    // A message of a routed control: its answer, or none to leave it to the control.
    virtual std::optional<LRESULT> controlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) noexcept;
    HWND hwnd_ = nullptr;
};

// A child control of a window's class ("BUTTON", "LISTBOX" ...) at a place of the
// window's design, with the font given.
HWND createControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                   const RECT& place, int id, HFONT font);

// A list's own messages as the program's lists take them: a double click anywhere in
// it, below the rows too (the list's own notice comes only on a row), and Enter, which
// the list asks the dialog keys for. For a routed list's controlMessage().
std::optional<LRESULT> listMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   const std::function<void()>& doubleClick, const std::function<void()>& enter);

// Sets the window's client area to a size, keeping its style, menu and place.
void setClientSize(HWND window, int width, int height);

// Centres a window over another (over the work area of its monitor when `over` is
// null).
void centreOver(HWND window, HWND over);

}  // namespace tb
