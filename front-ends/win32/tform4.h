#pragma once

#include "core/presenters/window_design.h"
#include "front-ends/win32/designed_window.h"
#include "front-ends/win32/fonts.h"
#include "front-ends/win32/window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tb {

// A small window of fixed size with only a close box, made from its design at 96 dots
// per inch and scaled to its monitor's density. Closing it (the close box, Alt+F4,
// Escape) hides it.
class FixedWindow : public Window {
public:
    const Scale& scale() const { return scale_; }
    // Closed by the user (a window hidden with its minimized owner is not).
    bool closed() const { return closed_; }

protected:
    // `background`: the system colour of its ground.
    FixedWindow(const design::Window& design, bool onTop, int background, HWND owner);

    HWND control(std::string_view name) const { return made_->get(name); }
    virtual void command(int id, int code);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND owner_;

private:
    Scale scale_;
    Fonts fonts_;
    int background_;
    std::unique_ptr<DesignedControls> made_;
    HWND lastFocus_ = nullptr;
    bool closed_ = false;
};

// The view window: the scheduled file paths as they were when it was opened. Always
// on top, centred on its owner; closing it hides it.
class TForm4 final : public FixedWindow {
public:
    TForm4(HWND owner, const std::vector<std::string>& paths);
    void show();

    // The controls, by their names in the window's design: what tests reach.
    struct Controls {
        HWND Label1 = nullptr, ListBox1 = nullptr;
    };
    const Controls& controls() const { return c_; }

private:
    Controls c_;
};

// The about window. Always on top, centred on its owner; closing it hides it.
class TForm5 final : public FixedWindow {
public:
    explicit TForm5(HWND owner);
    void show();

    struct Controls {
        HWND Label1 = nullptr, Memo1 = nullptr;
    };
    const Controls& controls() const { return c_; }

private:
    Controls c_;
};

// Says where the program's source code can be bought, with a button to the page.
class TFormBuySourceCode final : public FixedWindow {
public:
    // `owner`: the application window, which owns it and is the parent of the page's
    // opening.
    explicit TFormBuySourceCode(HWND owner);
    // Centred on the desktop, modal; returns when it has been closed.
    void ShowModal();

    struct Controls {
        HWND Memo1 = nullptr, Button1 = nullptr;
    };
    const Controls& controls() const { return c_; }

    // Hands the page's address to the system shell; whatever the shell does with it is
    // not looked at.
    std::function<void(HWND parent, const std::wstring& address)> openPage;

private:
    void command(int id, int code) override;
    Controls c_;
};

}  // namespace tb
