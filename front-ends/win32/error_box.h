#pragma once

#include "core/error_boxes.h"
#include "front-ends/win32/window.h"

#include <string>

namespace tb {

// The error box: the error icon, the text, one OK button and a caption, modal for all
// of the program's windows. A message box's text cannot change once it is shown, and
// this one's must: a failure that repeats while it is open is counted in it. So it is a
// small window of its own that fits itself to its text whenever the text changes.
class ErrorBoxWindow final : public Window {
public:
    ErrorBoxWindow(OpenErrorBox& box, const std::string& caption);
    ~ErrorBoxWindow() override;

    // Shows the box centred on the screen and returns when it has been answered (or
    // the program has ended).
    void run();

    // Control ids: the text and the button (IDOK).
    static constexpr int kTextId = 0xFFFF;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void fitToText();

    OpenErrorBox& box_;
    HFONT font_ = nullptr;
    HWND icon_ = nullptr;
    HWND text_ = nullptr;
    HWND ok_ = nullptr;
};

}  // namespace tb
