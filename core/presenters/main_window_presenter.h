#pragma once

#include "core/application.h"
#include "core/dialogs.h"
#include "core/desktop/autostart.h"
#include "core/playback/media_layer.h"
#include "core/playback/player_bar.h"
#include "core/playback/player_types.h"
#include "core/schedule/clock.h"
#include "core/schedule/locale_settings.h"
#include "core/schedule/schedule_model.h"
#include "core/schedule/time_text.h"
#include "core/schedule/trigger.h"
#include "core/presenters/window_texts.h"

#include <chrono>
#include <memory>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// How long the main window takes to collapse into its centre when the program ends.
inline constexpr std::chrono::milliseconds kCollapseTime{1500};

// A playlist editor the main window made for one command: set up, shown modally, and
// given back once it has closed.
class EditorWindow {
public:
    virtual ~EditorWindow() = default;
    virtual void FormCreate() = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setLabel1(const std::string& text) = 0;  // the heading over its list
    // Modal, centred on the main window: returns when the window has closed.
    virtual void ShowModal() = 0;
};

// The main window as its presenter sees it: what it shows, and the windows it opens.
// Each front end's main window implements it by drawing; the rules stay here.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void setClockText(const std::string& text) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    // The playlist view: its rows anew, nothing selected.
    virtual void showScheduleRows(const std::vector<std::string>& rows) = 0;
    virtual void removeScheduleRow(std::size_t row) = 0;
    virtual void selectScheduleRow(std::size_t row) = 0;
    virtual std::optional<std::size_t> selectedScheduleRow() const = 0;
    virtual void setAutoRunChecked(bool checked) = 0;
    // The volume slider; setting it runs its change handler, as a drag does.
    virtual void setVolumeSlider(int position) = 0;
    virtual int volumeSlider() const = 0;
    virtual void setTimerEnabled(bool enabled) = 0;
    virtual void openViewWindow(const std::vector<std::string>& paths) = 0;
    virtual void openAboutWindow() = 0;
    // Modal: returns when the window has closed.
    virtual void openPurchaseWindow() = 0;
    // A new playlist editor, not shown yet.
    virtual std::unique_ptr<EditorWindow> makeEditor() = 0;
    // Shrinks into its centre over `duration` and ends hidden; a hidden window stays so.
    virtual void collapse(std::chrono::milliseconds duration) = 0;
    virtual void hideToTray() = 0;
    virtual void showFromTray() = 0;
};

// The status line of a window whose schedule is empty, before anything has played.
inline constexpr const char* kEmptyScheduleHint = "The schedule is empty: add bells with Option, Edit Playlist.";

// What the main window works with; the program passes the real ones, tests their own.
struct MainWindowServices {
    TApplication& app;
    std::filesystem::path folder;      // where the schedule files live
    std::filesystem::path executable;  // registered to start at logon
    LocaleSettingsSource& locale;
    Clock& clock;
    MediaLayer& media;
    OutputVolume& volume;
    AutostartStore& autostart;
    DialogService& dialogs;
};

// The main window's behaviour: the schedule in three index-aligned lists, the clock and
// the bells, manual playback, the menus' commands and the exit sequence. Every handler
// runs inside the handler wrapper, which shows what it throws in the error box.
class MainWindowPresenter final {
public:
    // Sets the window's player up as the main window's: seven buttons (Play to Back) that
    // only the program enables, no automatic rewind, its clicks and notices to this.
    MainWindowPresenter(MainWindowServices services, MainWindowView& view, PlayerBar& player);
    ~MainWindowPresenter();
    MainWindowPresenter(const MainWindowPresenter&) = delete;
    MainWindowPresenter& operator=(const MainWindowPresenter&) = delete;

    void FormCreate();
    void Timer1Timer();
    void BitBtn2Click();  // "Refresh": the schedule reload
    void N5Click();       // view the playlist (also N13)
    void N6Click();       // edit the playlist (also N14)
    void R1Click();       // about
    void BuySourceCode1Click();
    void N8Click();  // start at logon (also N12)
    void TrackBar1Change();
    void Button1Click();      // "Play": a file chosen in the dialog
    void ListBox1DblClick();  // a schedule row played by hand
    void ListBox1EnterPressed();  // Enter in the playlist view: a double click on the selected row
    void MediaPlayer1Click(TMPBtnType button, bool& doDefault);
    void MediaPlayer1Notify();
    void BitBtn1Click();  // "Put on the tray"
    void M1Click();       // "Restore window"
    void TrayIcon1DblClick();
    void N18Click();  // "&Exit" in the main menu
    void N17Click();  // "Exit" in the tray menu
    void FormClose();  // the window's close box: ends at once
    void RegionalSettingsChanged();

    // Sets up the main window's notification-area icon, in this order, so that it
    // appears with its final picture and tooltip; a double click brings the window back.
    template <class TrayIcon, class Picture, class Menu>
    void setUpTrayIcon(TrayIcon& icon, const Picture& picture, Menu menu) {
        icon.setHint(std::string(window_texts::kTrayIconHint));
        icon.setIcon(picture);
        icon.setPopupMenu(menu);
        icon.MinimizeToTray = true;
        icon.OnDblClick = [this] { TrayIcon1DblClick(); };
        icon.setIconVisible(true);
    }

    // The editor's deletion takes the row out of the view at once (not out of the lists).
    void removePlaylistViewRow(std::size_t row);

    const ScheduleModel& schedule() const { return schedule_; }
    const LongTimeFormat& timeFormat() const { return timeFormat_; }
    bool autoRunChecked() const { return autoRun_; }
    const std::string& statusText() const { return status_; }
    // The file dialog of "Play".
    const TOpenDialog OpenDialog1{musicFileFilters()};

private:
    void loadSchedule();
    void tellOfTheSchedule(const std::optional<std::string>& viewNotice);
    void hintWhenEmpty();
    std::string pathOf(std::size_t row) const;
    std::string clockText();
    void startEntry(std::size_t row);
    void startPlaying();
    void setStatus(const std::string& text);
    void setAutoRun(bool on);
    void exitSequence(const std::string& text, const std::string& caption);
    void runEditor(const std::string& caption, const std::string& heading);

    MainWindowServices services_;
    MainWindowView& view_;
    PlayerBar& player_;
    LongTimeFormat timeFormat_;
    ScheduleModel schedule_;
    BellSequencer sequencer_;
    std::string status_;
    bool autoRun_ = false;
    std::optional<int> volumePosition_;  // the slider position last taken up
};

}  // namespace tb
