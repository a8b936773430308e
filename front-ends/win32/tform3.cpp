#include "front-ends/win32/tform3.h"

#include "core/handler.h"
#include "core/presenters/window_texts.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/resources/resource_ids.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tmediaplayer.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <iterator>
#include <vector>
#include <stdexcept>

namespace tb {
namespace {

enum Id : int {
    kSpeedButton1 = 101,
    kEdit1,
    kSpeedButton2,
    kDateTimePicker1,
    kListBox1,
    kButton2,
    kButton4,
    kButton7,
    kButton1,
    kButton3,
    kButton5,
    kButton6,
    kMediaPlayer1,
    kMemo1,
    kGroupBox1,
};

constexpr COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0), kNavy = RGB(0, 0, 128);

// The editor's own density: its design is in pixels at 120 dots per inch.
constexpr int kDesignDpi = 120;

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

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

TForm3::TForm3(EditorServices services, MediaLayer& media, HWND owner)
    : owner_(owner), scale_{dpiOf(owner), kDesignDpi}, fonts_(scale_) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // Not WS_CLIPCHILDREN: the group box draws only its frame and caption, on the
    // window's own background.
    create({L"TForm3", 0, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TOLLBROOK))},
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, L"", owner, CW_USEDEFAULT, CW_USEDEFAULT,
           scale_(988), scale_(519));
    if (hwnd() == nullptr) throw std::runtime_error("The playlist editor could not be created");
    setClientSize(hwnd(), scale_(988), scale_(519));
    buildLayout(media);
    presenter_ = std::make_unique<EditorPresenter>(std::move(services), *this, *player_);
}

TForm3::~TForm3() {
    // The controls go first, while the fonts, pictures and presenter they use are here.
    if (hwnd() != nullptr) DestroyWindow(hwnd());
}

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

void TForm3::FormCreate() { presenter_->FormCreate(); }

void TForm3::setCaption(const std::string& text) { SetWindowTextW(hwnd(), wide(text).c_str()); }

void TForm3::setLabel1(const std::string& text) { SetWindowTextW(Label1, wide(text).c_str()); }

void TForm3::ShowModal() {
    centreOver(hwnd(), owner_);
    showModal(hwnd(), owner_);
}

void TForm3::Button5Click() { closeRequested(); }

void TForm3::closeRequested() {
    // A second request while the question is open would ask, and save, twice.
    if (closing_ || !IsWindowVisible(hwnd())) return;
    closing_ = true;
    const bool mayClose = presenter_->FormCloseQuery();
    closing_ = false;
    if (!mayClose) return;
    // Closing the preview device must not keep the window open.
    runHandler([this] { presenter_->FormClose(); });
    ShowWindow(hwnd(), SW_HIDE);
}

std::string TForm3::pathBoxText() const { return narrow(windowText(Edit1)); }

void TForm3::setPathBoxText(const std::string& text) { SetWindowTextW(Edit1, wide(text).c_str()); }

TimeOfDay TForm3::pickerTime() const {
    SYSTEMTIME t{};
    if (SendMessageW(DateTimePicker1, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) != GDT_VALID) return {};
    return {t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

void TForm3::setPicker(const SYSTEMTIME& time) {
    // A value the program sets is no change of the user's.
    settingPicker_ = true;
    SendMessageW(DateTimePicker1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    settingPicker_ = false;
}

void TForm3::setPickerTime(const TimeOfDay& time) {
    SYSTEMTIME t{};
    if (SendMessageW(DateTimePicker1, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) != GDT_VALID) {
        GetLocalTime(&t);
    }
    t.wHour = static_cast<WORD>(time.hour);
    t.wMinute = static_cast<WORD>(time.minute);
    t.wSecond = static_cast<WORD>(time.second);
    t.wMilliseconds = static_cast<WORD>(time.millisecond);
    setPicker(t);
}

void TForm3::setPickerToToday(const TimeOfDay& time) {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    t.wHour = static_cast<WORD>(time.hour);
    t.wMinute = static_cast<WORD>(time.minute);
    t.wSecond = static_cast<WORD>(time.second);
    t.wMilliseconds = static_cast<WORD>(time.millisecond);
    setPicker(t);
}

void TForm3::setAmPmLabel(const std::string& text) { SetWindowTextW(LabelAMPM, wide(text).c_str()); }

void TForm3::showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) {
    SendMessageW(ListBox1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(ListBox1, LB_RESETCONTENT, 0, 0);
    bool full = false;
    for (const auto& line : lines) {
        const LRESULT at = SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
        if (at == LB_ERR || at == LB_ERRSPACE) {
            full = true;
            break;
        }
    }
    SendMessageW(ListBox1, LB_SETCURSEL, selected ? static_cast<WPARAM>(*selected) : static_cast<WPARAM>(-1), 0);
    SendMessageW(ListBox1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(ListBox1, nullptr, TRUE);
    if (full) throw std::runtime_error("Unable to insert a line");
}

void TForm3::command(int id, int code) {
    if (id == IDCANCEL) {  // Escape, through the dialog keys of the message loop
        closeRequested();
        return;
    }
    if (id == kListBox1) {
        if (code == LBN_SELCHANGE) {
            const LRESULT row = SendMessageW(ListBox1, LB_GETCURSEL, 0, 0);
            presenter_->selectRow(row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt);
        }
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kButton2: Button2Click(); break;
        case kButton4: Button4Click(); break;
        case kButton7: Button7Click(); break;
        case kButton1: Button1Click(); break;
        case kButton3: Button3Click(); break;
        case kButton5: Button5Click(); break;
        case kButton6: Button6Click(); break;
        case kSpeedButton1: SpeedButton1Click(); break;
        case kSpeedButton2: SpeedButton2Click(); break;
        default: break;
    }
}

LRESULT TForm3::notify(const NMHDR& header) {
    if (header.hwndFrom == DateTimePicker1 && header.code == DTN_DATETIMECHANGE && !settingPicker_) {
        DateTimePicker1Change();
    }
    return 0;
}

LRESULT TForm3::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // The controls speak while they are being made, before there is anyone to hear.
    if (presenter_ == nullptr && (message == WM_COMMAND || message == WM_NOTIFY)) {
        return Window::handle(message, wParam, lParam);
    }
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return notify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            return pictureButtons_->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            const auto colour = textColours_.find(reinterpret_cast<HWND>(lParam));
            SetTextColor(dc, colour != textColours_.end() ? colour->second : GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_ACTIVATE:
            // The keyboard focus goes back to the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd(), focus)) lastFocus_ = focus;
            } else {
                SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : Edit1);
            }
            return 0;
        case WM_CLOSE:  // the close box and Alt+F4
            closeRequested();
            return 0;
        default:
            return Window::handle(message, wParam, lParam);
    }
}

LRESULT CALLBACK TForm3::listProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) noexcept {
    auto* form = reinterpret_cast<TForm3*>(self);
    LRESULT result = 0;
    runHandler([&] {
        switch (message) {
            case WM_LBUTTONDBLCLK:
                // Anywhere in the list, below the rows too (the list's own notice comes
                // only on a row).
                result = DefSubclassProc(list, message, wParam, lParam);
                form->ListBox1DblClick();
                return;
            case WM_GETDLGCODE: {
                result = DefSubclassProc(list, message, wParam, lParam);
                const auto* msg = reinterpret_cast<const MSG*>(lParam);
                if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                    result |= DLGC_WANTMESSAGE;
                }
                return;
            }
            case WM_KEYDOWN:
                // Enter on a row loads it, as a double click does.
                if (wParam == VK_RETURN) {
                    if (SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR) form->ListBox1DblClick();
                    return;
                }
                break;
            case WM_NCDESTROY:
                RemoveWindowSubclass(list, &TForm3::listProcedure, 1);
                break;
            default:
                break;
        }
        result = DefSubclassProc(list, message, wParam, lParam);
    });
    return result;
}

}  // namespace tb
