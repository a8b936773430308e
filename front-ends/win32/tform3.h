#pragma once

#include "core/playback/media_layer.h"
#include "core/presenters/editor_presenter.h"
#include "front-ends/win32/window.h"

#include <memory>
#include <string>

namespace tb {

// The playlist editor as Windows draws it: its controls, laid out at the monitor's
// density, and their events forwarded to the presenter, which holds its rules. Shown
// modally; the main window reloads the schedule files when it has closed.
class TForm3 final : public Window, public EditorView {
public:
    // `services` as the presenter takes them; `media` plays the preview player.
    TForm3(EditorServices services, MediaLayer& media, HWND owner);
    ~TForm3() override;

    // The opening step; the caller runs it inside the handler wrapper.
    void FormCreate();
    void setCaption(const std::string& text);
    void setLabel1(const std::string& text);
    // Centred on its owner, modal; returns when the window has closed.
    void ShowModal();
};

}  // namespace tb
