#pragma once

#include "core/application.h"
#include "core/dialogs.h"
#include "desktop/core/autostart.h"
#include "desktop/ttrayicon.h"
#include "playback/core/media_layer.h"
#include "playback/core/player_types.h"
#include "schedule/clock.h"
#include "schedule/locale_settings.h"
#include "schedule/time_text.h"
#include "schedule/schedule_model.h"
#include "schedule/trigger.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSlider;
class QToolButton;
class QPushButton;

namespace tb {

class TMediaPlayer;
class TTimer;

// What the main window works with; the program passes the real ones, tests their own.
struct TForm1Services {
    TApplication& app;
    std::filesystem::path folder;      // where the schedule files live
    std::filesystem::path executable;  // registered to start at logon
    LocaleSettingsSource& locale;
    Clock& clock;
    MediaLayer& media;
    OutputVolume& volume;
    AutostartStore& autostart;
    // The notification area; the desktop's own when none is given.
    std::function<std::unique_ptr<TrayArea>()> makeTray = {};
};

// The main window: the schedule in three index-aligned lists, the clock and the bells,
// the player, the menus and the commands that open the other windows.
class TForm1 final : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(TForm1Services services);
    ~TForm1() override;

    // How far ahead a bell's file is got ready to play.
    static constexpr int kPrepareAheadSeconds = 2;

    void showCentred();
    const LongTimeFormat& timeFormat() const { return timeFormat_; }

    // Handlers; each runs inside the handler wrapper when its event comes.
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
    void MediaPlayer1Click(TMediaPlayer& sender, TMPBtnType button, bool& doDefault);
    void BitBtn1Click();       // "Put on the tray"
    void M1Click();            // "Restore window"
    void TrayIcon1DblClick();
    void N18Click();  // "&Exit" in the main menu
    void N17Click();  // "Exit" in the tray menu

    // The third status panel, where the playback status goes.
    QString statusText() const;

    // The schedule as loaded: the hidden paths and times lists, and the playlist view.
    const std::vector<std::string>& ListBoxfilename() const { return schedule_.paths(); }
    const std::vector<std::string>& ListBoxtime() const { return schedule_.times(); }
    QListWidget* ListBox1 = nullptr;
    // The editor's deletion takes the row out of the view at once (not out of the lists).
    void removePlaylistViewRow(std::size_t row);

    TTimer* Timer1 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    TMediaPlayer* MediaPlayer1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QToolButton* BitBtn1 = nullptr;
    QToolButton* BitBtn2 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* StatusPanels[3] = {};

    QAction *N8 = nullptr, *N5 = nullptr, *N6 = nullptr, *BuySourceCode1 = nullptr, *R1 = nullptr, *N18 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *M1 = nullptr, *N12 = nullptr, *N13 = nullptr, *N14 = nullptr, *N17 = nullptr;
    TOpenDialog OpenDialog1;

    // The view, about and purchase windows opened so far; they live until the end.
    const std::vector<std::unique_ptr<QWidget>>& childWindows() const { return windows_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    void buildMenus();
    void exitSequence(const std::string& text, const std::string& caption);
    void loadSchedule();
    void showPlaylistView();
    void tellOfTimesThatNeverRing();
    std::string pathOf(std::size_t row) const;
    void startEntry(std::size_t row);
    void startPlaying();
    void setStatus(const std::string& text);
    QWidget* keep(std::unique_ptr<QWidget> window);

    TForm1Services services_;
    LongTimeFormat timeFormat_;
    ScheduleModel schedule_;
    BellSequencer sequencer_;
    std::vector<std::unique_ptr<QWidget>> windows_;
};

}  // namespace tb
