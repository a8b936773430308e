// The editor's controls, made from its design.
#include "front-ends/win32/tform3.h"

#include "core/presenters/editor_design.h"
#include "front-ends/win32/colours.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tmediaplayer.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tb {
namespace {

// A font of the design, or smaller until every text fits `width` pixels.
HFONT fittingFont(Fonts& fonts, const design::Font& f, const std::vector<std::wstring>& texts, int width) {
    const std::wstring face = wide(f.face);
    return fonts.get(face, design::fittingFont(f.pixels, width, [&](int pixels) {
                         LONG widest = 0;
                         for (const auto& text : texts) {
                             widest = std::max(widest, textSize(fonts.get(face, pixels, f.bold), text).cx);
                         }
                         return static_cast<int>(widest);
                     }), f.bold);
}

HBITMAP loadGlyph(const wchar_t* name) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The shell's folder picture (its icon resource 4), copied out of it.
HICON shellFolderIcon() {
    HICON icon = nullptr;
    if (HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
        icon = static_cast<HICON>(LoadImageW(shell, MAKEINTRESOURCEW(4), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
        FreeLibrary(shell);
    }
    return icon;
}

}  // namespace

void TForm3::buildLayout(MediaLayer& media) {
    pictureButtons_ = std::make_unique<PictureButtons>(hwnd());
    made_ = std::make_unique<DesignedControls>(
        hwnd(), design::editor(), scale_, fonts_,
        [&](const design::Control& c, const RECT& place, int id, HFONT font) -> HWND {
            if (c.kind == design::Kind::MediaPlayer) {
                player_ = std::make_unique<TMediaPlayer>(media, hwnd(), id, place);
                player_->setName(wide(c.accessibleName));
                player_->setHint(wide(c.hint));
                return player_->hwnd();
            }
            HWND button = c.name == "SpeedButton1"
                              ? pictureButtons_->add(wide(c.hint), place, id, font, shellFolderIcon())
                              : pictureButtons_->add(wide(c.hint), place, id, font, loadGlyph(L"CL_MPPLAY"),
                                                     loadGlyph(L"DI_MPPLAY"));
            // Its text is its name; the hint stays its tooltip.
            SetWindowTextW(button, wide(c.accessibleName).c_str());
            return button;
        });
    const DesignedControls& m = *made_;
    c_ = {m.get("Label1"),   m.get("Label2"),       m.get("Label7"),       m.get("LabelAMPM"),
          m.get("Edit1"),    m.get("SpeedButton1"), m.get("SpeedButton2"), m.get("DateTimePicker1"),
          m.get("ListBox1"), m.get("Button2"),      m.get("Button4"),      m.get("Button7"),
          m.get("Button1"),  m.get("Button3"),      m.get("Button5"),      m.get("Button6"),
          m.get("GroupBox1"), m.get("Memo1"),       player_.get()};
    route(c_.ListBox1);

    // The labels' fonts shrink where the stand-in fonts are wider than the design's.
    const design::Window& d = design::editor();
    for (const char* name : {"Label2", "Label7"}) {
        HWND label = made_->get(name);
        const design::Control& c = d.control(name);
        RECT r{};
        GetClientRect(label, &r);
        HFONT font = fittingFont(fonts_, *c.font, {wide(c.text)}, r.right);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(label, nullptr, 0, 0, r.right, textSize(font, wide(c.text)).cy, SWP_NOMOVE | SWP_NOZORDER);
    }
    // The help's lines were laid out to the memo's width: none may wrap.
    const design::Control& memo = d.control("Memo1");
    std::vector<std::wstring> lines;
    for (const auto& line : design::linesToFit(memo.text)) lines.push_back(wide(line));
    RECT lineRect{};
    SendMessageW(c_.Memo1, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lineRect));
    HFONT help = fittingFont(fonts_, *memo.font, lines, lineRect.right - lineRect.left - 1);
    SendMessageW(c_.Memo1, WM_SETFONT, reinterpret_cast<WPARAM>(help), TRUE);
}

}  // namespace tb
