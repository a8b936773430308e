#pragma once

#include "front-ends/win32/window.h"

#include <string>
#include <vector>

namespace tb {

// The view window: the scheduled file paths as they were when it was opened. Always
// on top, centred on its owner; closing it hides it.
class TForm4 final : public Window {
public:
    TForm4(HWND owner, const std::vector<std::string>& paths);
    void show();
};

// The about window. Always on top, centred on its owner; closing it hides it.
class TForm5 final : public Window {
public:
    explicit TForm5(HWND owner);
    void show();
};

// Says where the program's source code can be bought, with a button to the page.
class TFormBuySourceCode final : public Window {
public:
    explicit TFormBuySourceCode(HWND owner);
    // Centred on the desktop, modal; returns when it has been closed.
    void ShowModal();
};

}  // namespace tb
