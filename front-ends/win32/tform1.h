#pragma once

#include "core/application.h"
#include "core/presenters/kept_windows.h"
#include "core/presenters/main_window_design.h"
#include "core/presenters/main_window_presenter.h"
#include "front-ends/win32/fonts.h"
#include "front-ends/win32/ttrayicon.h"
#include "front-ends/win32/window.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

class FixedWindow;
class PictureButtons;
class TMediaPlayer;
class TTimer;

// The ids of the main window's controls, which other programs (tests, screen readers'
// scripts) may look them up by; the menus' items take theirs from the menus' tables.
enum TForm1Id : int {
    idListBox1 = 100,
    idTrackBar1,
    idEdit3,
    idBitBtn2,
    idBitBtn1,
    idButton1,
    idMediaPlayer1,
    idStatusBar1,
    idGroupBox1,
    idBottomBar,
    idClockLabel,
};

// The main window as Windows draws it: its controls and menus, laid out at the
// monitor's density, and their events forwarded to the presenter, which holds every
// rule and sequence.
class TForm1 final : public Window, public MainWindowView {
public:
    static constexpr const wchar_t* kClassName = L"TForm1";

    // `shell` is the notification area: the shell's own unless a test stands in for it.
    explicit TForm1(MainWindowServices services, NotifyIconCall shell = shellNotifyIcon);
    ~TForm1() override;

    // Centred on the desktop, shown and brought to the foreground.
    void showCentred();
    const LongTimeFormat& timeFormat() const { return presenter_->timeFormat(); }

    // Handlers; each runs inside the handler wrapper when its event comes.
    void FormCreate() { presenter_->FormCreate(); }
    void Timer1Timer() { presenter_->Timer1Timer(); }
    void BitBtn2Click() { presenter_->BitBtn2Click(); }
    void N5Click() { presenter_->N5Click(); }
    void N6Click() { presenter_->N6Click(); }
    void R1Click() { presenter_->R1Click(); }
    void BuySourceCode1Click() { presenter_->BuySourceCode1Click(); }
    void N8Click() { presenter_->N8Click(); }
    void TrackBar1Change() { presenter_->TrackBar1Change(); }
    void Button1Click() { presenter_->Button1Click(); }
    void ListBox1DblClick() { presenter_->ListBox1DblClick(); }
    void ListBox1EnterPressed() { presenter_->ListBox1EnterPressed(); }
    void BitBtn1Click() { presenter_->BitBtn1Click(); }
    void M1Click() { presenter_->M1Click(); }
    void TrayIcon1DblClick() { presenter_->TrayIcon1DblClick(); }
    void N18Click() { presenter_->N18Click(); }
    void N17Click() { presenter_->N17Click(); }
    void FormClose() { presenter_->FormClose(); }

    // The schedule as loaded: the hidden paths and times lists; the playlist view is
    // ListBox1.
    const std::vector<std::string>& ListBoxfilename() const { return presenter_->schedule().paths(); }
    const std::vector<std::string>& ListBoxtime() const { return presenter_->schedule().times(); }
    // The editor's deletion takes the row out of the view at once (not out of the lists).
    void removePlaylistViewRow(std::size_t row) { presenter_->removePlaylistViewRow(row); }

    // The command id of a menu item by its design name: the main menu's items, then the
    // tray menu's, in the tables' order.
    static int menuId(std::string_view name);

    // The window's parts, for tests and the tray: the controls by their design names.
    struct Controls {
        HWND ListBox1 = nullptr, TrackBar1 = nullptr, Edit3 = nullptr, BitBtn1 = nullptr, BitBtn2 = nullptr,
             Button1 = nullptr, StatusBar1 = nullptr, GroupBox1 = nullptr;
        TMediaPlayer* MediaPlayer1 = nullptr;
        TTimer* Timer1 = nullptr;
        TTrayIcon* TrayIcon1 = nullptr;
        HMENU MainMenu1 = nullptr, PopupMenu1 = nullptr;
        std::map<std::string_view, HWND> byName;  // every control of the design
    };
    const Controls& controls() const { return c_; }

    // The view, about and purchase windows opened so far; they live until the end.
    std::size_t childWindows() const { return windows_.windows().size(); }
    const Scale& scale() const { return scale_; }

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // What the presenter shows and opens.
    void setClockText(const std::string& text) override;
    void setStatusText(const std::string& text) override;
    void showScheduleRows(const std::vector<std::string>& rows) override;
    void removeScheduleRow(std::size_t row) override;
    void selectScheduleRow(std::size_t row) override;
    std::optional<std::size_t> selectedScheduleRow() const override;
    void setAutoRunChecked(bool checked) override;
    void setVolumeSlider(int position) override;
    int volumeSlider() const override;
    void setTimerEnabled(bool enabled) override;
    void openViewWindow(const std::vector<std::string>& paths) override;
    void openAboutWindow() override;
    void openPurchaseWindow() override;
    std::unique_ptr<EditorWindow> makeEditor() override;
    void collapse(std::chrono::milliseconds duration) override;
    void hideToTray() override;
    void showFromTray() override;

    // tform1_layout.cpp: the controls and menus, made once and laid out for a density.
    void buildControls();
    void buildMenus();
    void layOut();
    void addToolTip(HWND control, const std::wstring& text);
    void name(HWND control, const design::Control& c);
    void drawRow(const DRAWITEMSTRUCT& item) const;

    FixedWindow& keep(std::unique_ptr<FixedWindow> window);
    void command(int id, int code, HWND control);
    std::optional<LRESULT> controlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT paintGroup(HWND group) const;

    Controls c_;
    std::unique_ptr<TMediaPlayer> player_;
    std::unique_ptr<TTimer> timer_;
    std::unique_ptr<TTrayIcon> tray_;
    // The fixed colours of the controls that have them, with the brush of their ground.
    struct Colours {
        COLORREF ink, face;
        HBRUSH brush;
    };
    std::map<HWND, Colours> colours_;
    std::vector<std::wstring> hints_;
    MainWindowServices services_;
    NotifyIconCall shell_;
    Scale scale_;
    std::unique_ptr<Fonts> fonts_;
    std::unique_ptr<Window> bottomBar_;
    std::unique_ptr<PictureButtons> pictureButtons_;
    std::unique_ptr<MainWindowPresenter> presenter_;
    KeptWindows<FixedWindow> windows_;
    HWND tooltips_ = nullptr;
    HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
};

}  // namespace tb
