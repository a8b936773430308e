#pragma once

#include "core/application.h"
#include "front-ends/qt/ttrayicon.h"
#include "core/presenters/kept_windows.h"
#include "core/presenters/main_window_design.h"
#include "core/presenters/main_window_presenter.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QGroupBox;
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

// The main window as Qt draws it: its controls and menus, laid out, and their events
// forwarded to the presenter, which holds every rule and sequence.
class TForm1 final : public QMainWindow, public MainWindowView {
    Q_OBJECT

public:
    // `makeTray` gives the notification area; the desktop's own when none is given.
    explicit TForm1(MainWindowServices services, std::function<std::unique_ptr<TrayArea>()> makeTray = {});
    ~TForm1() override;

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

    // The third status panel, where the playback status goes.
    QString statusText() const;

    // The schedule as loaded: the hidden paths and times lists.
    const std::vector<std::string>& ListBoxfilename() const { return presenter_->schedule().paths(); }
    const std::vector<std::string>& ListBoxtime() const { return presenter_->schedule().times(); }
    // The editor's deletion takes the row out of the view at once (not out of the lists).
    void removePlaylistViewRow(std::size_t row) { presenter_->removePlaylistViewRow(row); }

    // The window's parts, for tests and the tray: the controls by their design names.
    struct Controls {
        QGroupBox* GroupBox1 = nullptr;
        QListWidget* ListBox1 = nullptr;
        TMediaPlayer* MediaPlayer1 = nullptr;
        QSlider* TrackBar1 = nullptr;
        QLineEdit* Edit3 = nullptr;
        QToolButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
        QPushButton* Button1 = nullptr;
        QLabel* StatusPanels[3] = {};
        TTimer* Timer1 = nullptr;
        TTrayIcon* TrayIcon1 = nullptr;
        QMenu* PopupMenu1 = nullptr;
        QAction *N8 = nullptr, *N5 = nullptr, *N6 = nullptr, *BuySourceCode1 = nullptr, *R1 = nullptr, *N18 = nullptr;
        QAction *M1 = nullptr, *N12 = nullptr, *N13 = nullptr, *N14 = nullptr, *N17 = nullptr;
        std::map<std::string_view, QWidget*> byName;  // every control of the design
        std::map<std::string_view, QAction*> items;   // every item of both menus
    };
    const Controls& controls() const { return c_; }

    // The view, about and purchase windows opened so far; they live until the end.
    const std::vector<std::unique_ptr<QWidget>>& childWindows() const { return windows_.windows(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

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

    void buildLayout();
    void buildMenus();
    QAction* addItem(QMenu* menu, const design::MainWindowMenuItem& item);
    QWidget* keep(std::unique_ptr<QWidget> window);

    Controls c_;
    MainWindowServices services_;
    std::function<std::unique_ptr<TrayArea>()> makeTray_;
    std::unique_ptr<MainWindowPresenter> presenter_;
    KeptWindows<QWidget> windows_{[](const QWidget& window) { return window.isHidden(); }};
};

}  // namespace tb
