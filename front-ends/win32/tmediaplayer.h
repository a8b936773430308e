#pragma once

#include "core/playback/player_bar.h"
#include "front-ends/win32/player_accessible.h"
#include "front-ends/win32/window.h"

#include <memory>

namespace tb {

// The media player control as Windows draws it: a custom control whose row of up to
// nine buttons, their press and their click are the player bar's (PlayerBar). This
// class paints what the bar says with the glyph bitmaps of the program's resources and
// feeds it the mouse and the keys.
class TMediaPlayer final : public Window, public PlayerBar {
public:
    // A child control of `parent` at `place` (the parent's client pixels), which the
    // bar's layout rule then corrects as it says.
    TMediaPlayer(MediaLayer& layer, HWND parent, int id, const RECT& place);
    ~TMediaPlayer() override;

    static constexpr const wchar_t* kClassName = L"TMediaPlayer";

    // The hint, which screen readers give as the control's description.
    void setHint(std::wstring text) { accessibility_.setDescription(std::move(text)); }
    void setName(std::wstring text) { accessibility_.setName(std::move(text)); }

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    void repaint() override;
    void paintNow() override;
    void resizeTo(Size size) override;
    Size currentSize() const override;
    void buttonStatesChanged() override { accessibility_.statesChanged(); }

private:
    class GlyphSet;
    TMediaPlayer(std::unique_ptr<GlyphSet> glyphs, MediaLayer& layer, HWND parent, int id, const RECT& place);

    // Lays the buttons out for the size the window has, when it has changed.
    void followWindowSize();
    void paint(HDC dc);
    void paintButton(HDC dc, HDC glyphDc, TMPBtnType button, int x, int height);
    // Ends a press whose mouse capture another window took: no click comes of it.
    void dropPress();

    std::unique_ptr<GlyphSet> Buttons;
    PlayerAccessibility accessibility_{*this};
    bool releasing_ = false;  // the capture goes because the button came up
};

}  // namespace tb
