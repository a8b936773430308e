#include "front-ends/win32/tform3.h"

#include "core/handler.h"
#include "core/presenters/editor_design.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/resources/resource_ids.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tmediaplayer.h"

#include <commctrl.h>

#include <vector>
#include <stdexcept>

namespace tb {
namespace {

// The day of `day` at the time of `time`.
SYSTEMTIME withTime(SYSTEMTIME day, const TimeOfDay& time) {
    day.wHour = static_cast<WORD>(time.hour);
    day.wMinute = static_cast<WORD>(time.minute);
    day.wSecond = static_cast<WORD>(time.second);
    day.wMilliseconds = static_cast<WORD>(time.millisecond);
    return day;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

TForm3::TForm3(EditorServices services, MediaLayer& media, HWND owner)
    : owner_(owner), scale_{dpiOf(owner), design::editor().dpi}, fonts_(scale_) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // Not WS_CLIPCHILDREN: the group box draws only its frame and caption, on the
    // window's own background.
    create({L"TForm3", 0, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TOLLBROOK))},
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, L"", owner, CW_USEDEFAULT, CW_USEDEFAULT,
           scale_(design::editor().width), scale_(design::editor().height));
    if (hwnd() == nullptr) throw std::runtime_error("The playlist editor could not be created");
    setClientSize(hwnd(), scale_(design::editor().width), scale_(design::editor().height));
    buildLayout(media);
    presenter_ = std::make_unique<EditorPresenter>(std::move(services), *this, *player_);
}

TForm3::~TForm3() {
    // The controls go first, while the fonts, pictures and presenter they use are here.
    if (hwnd() != nullptr) DestroyWindow(hwnd());
}

void TForm3::FormCreate() { presenter_->FormCreate(); }

void TForm3::setCaption(const std::string& text) { SetWindowTextW(hwnd(), wide(text).c_str()); }

void TForm3::setLabel1(const std::string& text) { SetWindowTextW(c_.Label1, wide(text).c_str()); }

void TForm3::ShowModal() {
    centreOver(hwnd(), owner_);
    showModal(hwnd(), owner_);
}

void TForm3::Button5Click() { closeRequested(); }

void TForm3::closeRequested() {
    if (IsWindowVisible(hwnd()) && presenter_->closeRequested()) ShowWindow(hwnd(), SW_HIDE);
}

std::string TForm3::pathBoxText() const { return narrow(windowText(c_.Edit1)); }

void TForm3::setPathBoxText(const std::string& text) { SetWindowTextW(c_.Edit1, wide(text).c_str()); }

TimeOfDay TForm3::pickerTime() const {
    SYSTEMTIME t{};
    if (SendMessageW(c_.DateTimePicker1, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t)) != GDT_VALID) return {};
    return {t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

void TForm3::setPicker(const SYSTEMTIME& time) {
    // A value the program sets is no change of the user's.
    settingPicker_ = true;
    SendMessageW(c_.DateTimePicker1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    settingPicker_ = false;
}

void TForm3::setPickerTime(const TimeOfDay& time) {
    SYSTEMTIME day{};
    if (SendMessageW(c_.DateTimePicker1, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&day)) != GDT_VALID) {
        GetLocalTime(&day);
    }
    setPicker(withTime(day, time));
}

void TForm3::setPickerToToday(const TimeOfDay& time) {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    setPicker(withTime(today, time));
}

void TForm3::setAmPmLabel(const std::string& text) { SetWindowTextW(c_.LabelAMPM, wide(text).c_str()); }

void TForm3::showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) {
    SendMessageW(c_.ListBox1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c_.ListBox1, LB_RESETCONTENT, 0, 0);
    bool full = false;
    for (const auto& line : lines) {
        const LRESULT at = SendMessageW(c_.ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(line).c_str()));
        if (at == LB_ERR || at == LB_ERRSPACE) {
            full = true;
            break;
        }
    }
    SendMessageW(c_.ListBox1, LB_SETCURSEL, selected ? static_cast<WPARAM>(*selected) : static_cast<WPARAM>(-1), 0);
    SendMessageW(c_.ListBox1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c_.ListBox1, nullptr, TRUE);
    if (full) throw std::runtime_error("Unable to insert a line");
}

void TForm3::command(HWND from, int id, int code) {
    if (id == IDCANCEL) {  // Escape, through the dialog keys of the message loop
        closeRequested();
        return;
    }
    if (from == c_.ListBox1) {
        if (code == LBN_SELCHANGE) {
            const LRESULT row = SendMessageW(c_.ListBox1, LB_GETCURSEL, 0, 0);
            presenter_->selectRow(row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt);
        }
        return;
    }
    if (code != BN_CLICKED) return;
    const std::pair<HWND, void (TForm3::*)()> buttons[] = {
        {c_.Button2, &TForm3::Button2Click},           {c_.Button4, &TForm3::Button4Click},
        {c_.Button7, &TForm3::Button7Click},           {c_.Button1, &TForm3::Button1Click},
        {c_.Button3, &TForm3::Button3Click},           {c_.Button5, &TForm3::Button5Click},
        {c_.Button6, &TForm3::Button6Click},           {c_.SpeedButton1, &TForm3::SpeedButton1Click},
        {c_.SpeedButton2, &TForm3::SpeedButton2Click},
    };
    for (const auto& [button, click] : buttons) {
        if (from == button) (this->*click)();
    }
}

LRESULT TForm3::notify(const NMHDR& header) {
    if (header.hwndFrom == c_.DateTimePicker1 && header.code == DTN_DATETIMECHANGE && !settingPicker_) {
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
            command(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return notify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            return pictureButtons_->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            const auto ink = made_ ? made_->ink(reinterpret_cast<HWND>(lParam)) : std::nullopt;
            SetTextColor(dc, ink.value_or(GetSysColor(COLOR_BTNTEXT)));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_ACTIVATE:
            // The keyboard focus goes back to the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd(), focus)) lastFocus_ = focus;
            } else {
                SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : c_.Edit1);
            }
            return 0;
        case WM_CLOSE:  // the close box and Alt+F4
            closeRequested();
            return 0;
        default:
            return Window::handle(message, wParam, lParam);
    }
}

// The list: a double click anywhere in it, below the rows too (the list's own notice
// comes only on a row), and Enter on a row, which loads it as a double click does.
std::optional<LRESULT> TForm3::controlMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return listMessage(list, message, wParam, lParam, [this] { ListBox1DblClick(); },
                       [this] { ListBox1EnterPressed(); });
}

}  // namespace tb
