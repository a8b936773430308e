#include "front-ends/win32/tform1.h"

#include "core/dialogs.h"
#include "core/handler.h"
#include "front-ends/win32/resources/resource_ids.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tform3.h"
#include "front-ends/win32/tform4.h"
#include "front-ends/win32/tmediaplayer.h"
#include "front-ends/win32/ttimer.h"

#include <commctrl.h>

namespace tb {
namespace {

constexpr UINT_PTR kTimer1 = 1;

HICON programIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TOLLBROOK), IMAGE_ICON, size,
                                         size, LR_DEFAULTCOLOR));
}

}  // namespace

TForm1::TForm1(MainWindowServices services, NotifyIconCall shell)
    : services_(std::move(services)),
      shell_(std::move(shell)),
      windows_([](const FixedWindow& window) { return window.closed(); }) {
    create({kClassName, CS_DBLCLKS}, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0,
           wide(design::mainWindow().caption), nullptr, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300);
    scale_ = Scale{dpiOf(hwnd())};
    fonts_ = std::make_unique<Fonts>(scale_);
    bigIcon_ = programIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = programIcon(GetSystemMetrics(SM_CXSMICON));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    // The timer runs from the moment the window is built; its ticks come as messages,
    // so none is handled before the presenter is there.
    timer_ = std::make_unique<TTimer>(hwnd(), kTimer1, services_.clock);
    timer_->OnTimer = [this] { Timer1Timer(); };
    c_.Timer1 = timer_.get();
    buildControls();
    presenter_ = std::make_unique<MainWindowPresenter>(services_, *this, *player_);
    timer_->setEnabled(true);
    buildMenus();
    layOut();

    tray_ = std::make_unique<TTrayIcon>(hwnd(), shell_);
    c_.TrayIcon1 = tray_.get();
    presenter_->setUpTrayIcon(*tray_, smallIcon_, c_.PopupMenu1);

}

TForm1::~TForm1() {
    windows_.clear();
    timer_->setEnabled(false);
    tray_.reset();
    presenter_.reset();
    player_.reset();
    if (hwnd() != nullptr) DestroyWindow(hwnd());
    DestroyMenu(c_.PopupMenu1);
    for (const auto& [control, colours] : colours_) DeleteObject(colours.brush);
    DestroyIcon(bigIcon_);
    DestroyIcon(smallIcon_);
}

void TForm1::showCentred() {
    centreOver(hwnd(), nullptr);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    SetForegroundWindow(hwnd());
}

void TForm1::setClockText(const std::string& text) { SetWindowTextW(c_.Edit3, wide(text).c_str()); }

void TForm1::setStatusText(const std::string& text) {
    SendMessageW(c_.StatusBar1, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(wide(text).c_str()));
}

void TForm1::showScheduleRows(const std::vector<std::string>& rows) {
    SendMessageW(c_.ListBox1, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c_.ListBox1, LB_RESETCONTENT, 0, 0);
    for (const auto& row : rows) SendMessageW(c_.ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(row).c_str()));
    SendMessageW(c_.ListBox1, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c_.ListBox1, nullptr, TRUE);
}

void TForm1::removeScheduleRow(std::size_t row) { SendMessageW(c_.ListBox1, LB_DELETESTRING, row, 0); }

void TForm1::selectScheduleRow(std::size_t row) { SendMessageW(c_.ListBox1, LB_SETCURSEL, row, 0); }

std::optional<std::size_t> TForm1::selectedScheduleRow() const {
    const LRESULT row = SendMessageW(c_.ListBox1, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void TForm1::setAutoRunChecked(bool checked) {
    const UINT mark = MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED);
    CheckMenuItem(c_.MainMenu1, menuId("N8"), mark);
    CheckMenuItem(c_.PopupMenu1, menuId("N12"), mark);
}

// As a drag does, setting the position runs the change handler.
void TForm1::setVolumeSlider(int position) {
    SendMessageW(c_.TrackBar1, TBM_SETPOS, TRUE, position);
    TrackBar1Change();
}

int TForm1::volumeSlider() const { return static_cast<int>(SendMessageW(c_.TrackBar1, TBM_GETPOS, 0, 0)); }

void TForm1::setTimerEnabled(bool enabled) { timer_->setEnabled(enabled); }

FixedWindow& TForm1::keep(std::unique_ptr<FixedWindow> window) { return windows_.keep(std::move(window)); }

void TForm1::openViewWindow(const std::vector<std::string>& paths) {
    static_cast<TForm4&>(keep(std::make_unique<TForm4>(hwnd(), paths))).show();
}

void TForm1::openAboutWindow() { static_cast<TForm5&>(keep(std::make_unique<TForm5>(hwnd()))).show(); }

void TForm1::openPurchaseWindow() {
    static_cast<TFormBuySourceCode&>(keep(std::make_unique<TFormBuySourceCode>(hwnd()))).ShowModal();
}

std::unique_ptr<EditorWindow> TForm1::makeEditor() {
    return std::make_unique<TForm3>(EditorServices{services_.folder, presenter_->timeFormat(), services_.clock,
                                                   services_.dialogs, services_.app.Title(),
                                                   [this](std::size_t row) { removePlaylistViewRow(row); }},
                                    services_.media, hwnd());
}

// Shrinks into its centre and ends hidden; a window in the tray (or minimized, where
// there is none) is only hidden.
void TForm1::collapse(std::chrono::milliseconds duration) {
    if (IsWindowVisible(hwnd()) && !IsIconic(hwnd())) {
        AnimateWindow(hwnd(), static_cast<DWORD>(duration.count()), AW_CENTER | AW_HIDE);
    }
    if (IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_HIDE);
}

void TForm1::hideToTray() { tray_->HideMainForm(); }

void TForm1::showFromTray() { tray_->ShowMainForm(); }

void TForm1::command(int id, int code, HWND control) {
    if (control != nullptr) {
        if (code != BN_CLICKED) return;
        if (control == c_.Button1) Button1Click();
        if (control == c_.BitBtn1) BitBtn1Click();
        if (control == c_.BitBtn2) BitBtn2Click();
        return;
    }
    // The menus' items, the tray menu's included, each running its table's handler.
    const auto main = design::mainMenu(), tray = design::trayMenu();
    const int first = menuId(main.front().name);
    const std::size_t index = static_cast<std::size_t>(id - first);
    if (id < first || index >= main.size() + tray.size()) return;
    const auto handler = index < main.size() ? main[index].handler : tray[index - main.size()].handler;
    if (handler != nullptr) (presenter_.get()->*handler)();
}

LRESULT TForm1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (timer_ && timer_->handleTimer(wParam)) return 0;
            break;
        case WM_COMMAND:
            if (presenter_) command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_HSCROLL:
            if (presenter_ && reinterpret_cast<HWND>(lParam) == c_.TrackBar1) TrackBar1Change();
            return 0;
        case WM_CLOSE:
            // Closing the window asks nothing: the program ends at once.
            if (presenter_) FormClose();
            return 0;
        case WM_SETTINGCHANGE:
            if (presenter_ && lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
                presenter_->RegionalSettingsChanged();
            }
            return 0;
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            if (const auto found = colours_.find(reinterpret_cast<HWND>(lParam)); found != colours_.end()) {
                auto* dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, found->second.ink);
                SetBkColor(dc, found->second.face);
                return reinterpret_cast<LRESULT>(found->second.brush);
            }
            break;
        case WM_MEASUREITEM:
            if (wParam == idListBox1) {
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(scale_(16));
                return TRUE;
            }
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.hwndItem == c_.ListBox1) {
                drawRow(item);
                return TRUE;
            }
            if (pictureButtons_ && pictureButtons_->draw(item)) return TRUE;
            break;
        }
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == c_.BitBtn1 || reinterpret_cast<HWND>(wParam) == c_.BitBtn2) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_DPICHANGED: {
            scale_ = Scale{HIWORD(wParam)};
            fonts_ = std::make_unique<Fonts>(scale_);
            layOut();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            break;
    }
    return Window::handle(message, wParam, lParam);
}

// The playlist view: a double click anywhere in it, below the rows too, and Enter on a
// row. The group box: painted in the design's colours.
std::optional<LRESULT> TForm1::controlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (control == c_.GroupBox1) {
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT) return paintGroup(control);
        return std::nullopt;
    }
    return listMessage(control, message, wParam, lParam, [this] { ListBox1DblClick(); },
                       [this] { ListBox1EnterPressed(); });
}

}  // namespace tb
