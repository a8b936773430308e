#pragma once

#include "front-ends/win32/fonts.h"
#include "front-ends/win32/window.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tb {

// A small window of fixed size with only a close box, laid out at 96 dots per inch and
// scaled to its monitor's density. Closing it (the close box, Alt+F4, Escape) hides it.
class FixedWindow : public Window {
public:
    const Scale& scale() const { return scale_; }
    // Closed by the user (a window hidden with its minimized owner is not).
    bool closed() const { return closed_; }

protected:
    struct Design {
        const wchar_t* className;
        const wchar_t* title;
        int width, height;  // the client area
        bool onTop;
        int background;  // a system colour
        int fontHeight;  // Tahoma, the window's font
    };
    FixedWindow(const Design& design, HWND owner);

    // A child control at a place of the design, in the window's font unless another is given.
    HWND control(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y,
                 int width, int height, int id, HFONT font = nullptr);
    HFONT font(int height, bool bold = false) { return fonts_.get(L"Tahoma", height, bold); }
    // The text colour a control is drawn in; `transparent`: on the window's background.
    void colour(HWND control, COLORREF text, bool transparent = false);
    virtual void command(int id, int code);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND owner_;

private:
    struct Look {
        COLORREF text;
        bool transparent;
    };
    Scale scale_;
    Fonts fonts_;
    HFONT windowFont_;
    int background_;
    std::map<HWND, Look> looks_;
    HWND lastFocus_ = nullptr;
    bool closed_ = false;
};

// The view window: the scheduled file paths as they were when it was opened. Always
// on top, centred on its owner; closing it hides it.
class TForm4 final : public FixedWindow {
public:
    TForm4(HWND owner, const std::vector<std::string>& paths);
    void show();

    HWND Label1 = nullptr, ListBox1 = nullptr;
};

// The about window. Always on top, centred on its owner; closing it hides it.
class TForm5 final : public FixedWindow {
public:
    explicit TForm5(HWND owner);
    void show();

    HWND Label1 = nullptr, Memo1 = nullptr;
};

// Says where the program's source code can be bought, with a button to the page.
class TFormBuySourceCode final : public FixedWindow {
public:
    // `owner`: the application window, which owns it and is the parent of the page's
    // opening.
    explicit TFormBuySourceCode(HWND owner);
    // Centred on the desktop, modal; returns when it has been closed.
    void ShowModal();

    HWND Memo1 = nullptr, Button1 = nullptr;
    // Hands the page's address to the system shell; whatever the shell does with it is
    // not looked at.
    std::function<void(HWND parent, const std::wstring& address)> openPage;

private:
    void command(int id, int code) override;
};

}  // namespace tb
