#pragma once

#include "core/playback/media_layer.h"
#include "core/presenters/editor_presenter.h"
#include "core/presenters/main_window_presenter.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace tb {

class TMediaPlayer;

// What the playlist editor works with.
struct TForm3Services {
    std::filesystem::path folder;   // where the schedule files live
    const LongTimeFormat& format;   // the main window's long time format
    Clock& clock;
    MediaLayer& media;
    std::function<void(std::size_t row)> removeViewRow;  // the main window's playlist view
};

// The playlist editor as Qt draws it: its controls, laid out, and their events
// forwarded to the presenter, which holds its rules. Shown modally; the main window
// reloads the schedule files when it has closed.
class TForm3 final : public QDialog, public EditorView, public EditorWindow {
    Q_OBJECT

public:
    explicit TForm3(TForm3Services services, QWidget* parent = nullptr);
    ~TForm3() override;

    // Handlers; each runs inside the handler wrapper when its event comes.
    void FormCreate() override { presenter_->FormCreate(); }
    void Button2Click() { presenter_->Button2Click(); }  // Add
    void Button4Click() { presenter_->Button4Click(); }  // Insert
    void Button7Click() { presenter_->Button7Click(); }  // Update
    void Button1Click() { presenter_->Button1Click(); }  // Delete
    void Button3Click() { presenter_->Button3Click(); }  // Save
    void Button6Click() { presenter_->Button6Click(); }  // Play the selected row
    void ListBox1DblClick() { presenter_->ListBox1DblClick(); }
    void ListBox1EnterPressed() { presenter_->ListBox1EnterPressed(); }
    void SpeedButton1Click() { presenter_->SpeedButton1Click(); }  // find a music file
    void SpeedButton2Click() { presenter_->SpeedButton2Click(); }  // preview the path box's file
    void DateTimePicker1Change() { presenter_->DateTimePicker1Change(); }

    // The new line's time text: the picker's time of day in the long time format.
    std::string pickerTimeText() const { return presenter_->pickerTimeText(); }

    // The command that opens the window sets its heading.

    // The controls, by their names in the window's design: what tests reach.
    struct Controls {
        QLabel *Label1 = nullptr, *Label2 = nullptr, *Label7 = nullptr, *LabelAMPM = nullptr;
        QLineEdit* Edit1 = nullptr;
        QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr;
        QDateTimeEdit* DateTimePicker1 = nullptr;
        QListWidget* ListBox1 = nullptr;
        QPushButton *Button2 = nullptr, *Button4 = nullptr, *Button7 = nullptr, *Button1 = nullptr, *Button3 = nullptr,
                    *Button5 = nullptr, *Button6 = nullptr;
        QGroupBox* GroupBox1 = nullptr;
        QPlainTextEdit* Memo1 = nullptr;
        TMediaPlayer* MediaPlayer1 = nullptr;
    };
    const Controls& controls() const { return c_; }

    void setCaption(const std::string& text) override;
    void setLabel1(const std::string& text) override;
    void ShowModal() override;

    // Escape and every other way of closing ask first, as the close box does.
    void reject() override { close(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the presenter shows.
    std::string pathBoxText() const override;
    void setPathBoxText(const std::string& text) override;
    TimeOfDay pickerTime() const override;
    void setPickerTime(const TimeOfDay& time) override;
    void setPickerToToday(const TimeOfDay& time) override;
    void setAmPmLabel(const std::string& text) override;
    void showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) override;

    Controls buildLayout();

    TForm3Services services_;
    Controls c_{};
    std::unique_ptr<EditorPresenter> presenter_;
};

}  // namespace tb
