// The editor's controls at their places, in design pixels at 120 dots per inch.
#include "front-ends/win32/tform3.h"

#include "core/presenters/window_texts.h"
#include "front-ends/win32/colours.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/resources/resource_ids.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tmediaplayer.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>
#include <vector>

namespace tb {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255), kRed = colorref(design::palette::red), kNavy = RGB(0, 0, 128);

SIZE textSize(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.empty() ? L"Xg" : text.c_str(), static_cast<int>(text.empty() ? 2 : text.size()),
                          &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

// Tahoma at `height` design pixels, or smaller until every text fits `width` pixels:
// the fonts that stand in for Tahoma are wider than it.
HFONT fittingFont(Fonts& fonts, int height, const std::vector<std::wstring>& texts, int width) {
    for (int h = height;; --h) {
        HFONT font = fonts.get(L"Tahoma", h);
        bool fits = true;
        for (const auto& text : texts) fits = fits && textSize(font, text).cx <= width;
        if (fits || h <= 6) return font;
    }
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

HWND TForm3::label(const std::wstring& text, int x, int y, int height, COLORREF colour, int width) {
    HFONT font = fittingFont(fonts_, height, {text}, scale_(width));
    const SIZE size = textSize(font, text);
    const int w = scale_(width);
    HWND control = createControl(hwnd(), L"STATIC", text, SS_LEFT | SS_NOPREFIX, 0,
                                 RECT{scale_(x), scale_(y), scale_(x) + w, scale_(y) + size.cy}, -1, font);
    textColours_[control] = colour;
    return control;
}

HWND TForm3::button(const std::wstring& text, int id, int top) {
    // The seven buttons stand in a column (Panel1) at 476,59, 8 from its left edge.
    return createControl(hwnd(), L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, 0,
                         scale_.rect(476 + 8, 59 + top, 85, 31), id, fonts_.get(L"Tahoma", 15));
}

void TForm3::buildLayout(MediaLayer& media) {
    HFONT font15 = fonts_.get(L"Tahoma", 15);  // the window's font

    // Each label is as wide as the design leaves it before the next control.
    Label2 = label(L"Music File", 5, 5, 18, kBlue, 85 - 5 - 2);
    pictureButtons_ = std::make_unique<PictureButtons>(hwnd());
    SpeedButton1 = pictureButtons_->add(L"Find music files", scale_.rect(85, 3, 28, 26), kSpeedButton1, font15,
                                        shellFolderIcon());
    const int editHeight = textSize(font15, {}).cy + MulDiv(8, scale_.dpi, 96);
    Edit1 = createControl(hwnd(), L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                          RECT{scale_(115), scale_(5), scale_(115 + 550), scale_(5) + editHeight}, kEdit1, font15);
    SendMessageW(Edit1, EM_SETLIMITTEXT, 0, 0);
    SpeedButton2 = pictureButtons_->add(L"Play music files", scale_.rect(667, 5, 29, 27), kSpeedButton2, font15,
                                        loadGlyph(L"CL_MPPLAY"), loadGlyph(L"DI_MPPLAY"));
    Label7 = label(L"Playback time", 706, 6, 18, kBlue, 818 - 706 - 2);
    DateTimePicker1 = createControl(hwnd(), DATETIMEPICK_CLASSW, L"", DTS_TIMEFORMAT | WS_TABSTOP, 0,
                                    scale_.rect(818, 3, 114, 32), kDateTimePicker1, font15);
    // Hours, minutes and seconds on the 24-hour clock, whatever the regional settings.
    SendMessageW(DateTimePicker1, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH:mm:ss"));
    LabelAMPM = label(L"", 933, 7, 15, GetSysColor(COLOR_BTNTEXT), 50);

    Label1 = label(L"", 5, 38, 15, kRed, 301);
    ListBox1 = createControl(hwnd(), L"LISTBOX", L"",
                             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                             scale_.rect(0, 59, 469, 459), kListBox1, font15);
    SetWindowSubclass(ListBox1, &TForm3::listProcedure, 1, reinterpret_cast<DWORD_PTR>(this));

    Button2 = button(L"&Add", kButton2, 10);
    Button4 = button(L"&Insert", kButton4, 59);
    Button7 = button(L"&Update", kButton7, 109);
    Button1 = button(L"&Delete", kButton1, 159);
    Button3 = button(L"&Save", kButton3, 210);
    Button5 = button(L"&Close", kButton5, 263);
    Button6 = button(L"Play", kButton6, 388);

    // Inside the group box, made before it: siblings made earlier lie above the later.
    // The preview player keeps every default: nine buttons, enabled by the device.
    player_ = std::make_unique<TMediaPlayer>(media, hwnd(), kMediaPlayer1,
                                             scale_.rect(584 + 39, 49 + 368, 316, 37));
    MediaPlayer1 = player_.get();
    const RECT box = scale_.rect(584, 49, 394, 469);
    const int inset = scale_(2);
    std::wstring help;
    std::vector<std::wstring> lines;
    for (std::size_t i = 0; i < std::size(window_texts::kEditorHelpLines); ++i) {
        lines.push_back(wide(window_texts::kEditorHelpLines[i]));
        help += (i == 0 ? L"" : L"\r\n") + lines.back();
        lines.back().erase(lines.back().find_last_not_of(L' ') + 1);  // blanks at a line's end never wrap
    }
    const RECT inside{box.left + inset, box.top + textSize(font15, {}).cy, box.right - inset, box.bottom - inset};
    Memo1 = createControl(hwnd(), L"EDIT", help, ES_MULTILINE | ES_READONLY | WS_CLIPSIBLINGS, 0, inside, kMemo1,
                          fonts_.get(L"Tahoma", 22));
    // The help's lines were laid out to the memo's width: none may wrap.
    RECT lineRect{};
    SendMessageW(Memo1, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lineRect));
    HFONT helpFont = fittingFont(fonts_, 22, lines, lineRect.right - lineRect.left - 1);
    SendMessageW(Memo1, WM_SETFONT, reinterpret_cast<WPARAM>(helpFont), TRUE);
    textColours_[Memo1] = kNavy;
    GroupBox1 = createControl(hwnd(), L"BUTTON", L"Explain", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, box, kGroupBox1, font15);
    // A themed group box draws its caption in the theme's colour; this one is navy.
    SetWindowTheme(GroupBox1, L"", L"");
    textColours_[GroupBox1] = kNavy;
}

}  // namespace tb
