#pragma once

#include <windows.h>

#include <string>

namespace tb {

class TMediaPlayer;
class PlayerAccessible;

// The player control as screen readers see it through Active Accessibility: a tool bar
// named "Player", described by its hint, whose children are its shown buttons, each a
// push button named by its function ("Play", "Pause" ...), unavailable when it cannot be
// pressed, pressed while held down, with the default action "Press".
//
// The control owns one reference to its accessible object, made at the first
// WM_GETOBJECT. When the window goes, the object is cut off from it: a client that
// still holds it gets CO_E_OBJNOTCONNECTED from every call, and nothing of the control
// is touched again.
class PlayerAccessibility final {
public:
    // The private message by which a screen reader's press reaches the control from the
    // message loop (wParam: the button). Posted, as Windows' own buttons post their click,
    // so that the press (which may show a box) never runs inside the client's call.
    static constexpr UINT kPressMessage = WM_USER + 1;

    explicit PlayerAccessibility(TMediaPlayer& player) : player_(player) {}
    PlayerAccessibility(const PlayerAccessibility&) = delete;
    PlayerAccessibility& operator=(const PlayerAccessibility&) = delete;
    ~PlayerAccessibility() { disconnect(); }

    // The answer to WM_GETOBJECT: the object for OBJID_CLIENT, else what Windows gives.
    LRESULT answer(WPARAM wParam, LPARAM lParam);
    // The window is going: cut off every client.
    void disconnect();

    // Tells screen readers what changed: the buttons' states, or the focused button.
    void statesChanged() const;
    void focusMoved() const;

    void setName(std::wstring text) { name_ = std::move(text); }
    const std::wstring& name() const { return name_; }
    void setDescription(std::wstring text) { description_ = std::move(text); }
    const std::wstring& description() const { return description_; }

private:
    TMediaPlayer& player_;
    PlayerAccessible* object_ = nullptr;  // one reference, ours
    std::wstring name_;  // empty: the player's own name
    std::wstring description_;
};

}  // namespace tb
