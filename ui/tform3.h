#pragma once

#include "core/dialogs.h"
#include "playback/core/media_layer.h"
#include "schedule/clock.h"
#include "schedule/edited_playlist.h"
#include "schedule/time_text.h"

#include <QDialog>

#include <filesystem>
#include <functional>
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

// The playlist editor: the schedule as playlist lines, changed by its commands and
// written to the three schedule files by Save. Shown modally; the main window reloads
// the schedule files when it has closed.
class TForm3 final : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(TForm3Services services, QWidget* parent = nullptr);
    ~TForm3() override;

    // Handlers; each runs inside the handler wrapper when its event comes.
    void FormCreate();
    void Button2Click();  // Add
    void Button4Click();  // Insert
    void Button7Click();  // Update
    void Button1Click();  // Delete
    void Button3Click();  // Save
    void Button6Click();  // Play the selected row
    void ListBox1DblClick();
    void SpeedButton1Click();  // find a music file
    void SpeedButton2Click();  // preview the path box's file
    void DateTimePicker1Change();

    // The new line's time text: the picker's time of day in the long time format.
    std::string pickerTimeText() const;

    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label7 = nullptr, *LabelAMPM = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr;
    QDateTimeEdit* DateTimePicker1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton *Button2 = nullptr, *Button4 = nullptr, *Button7 = nullptr, *Button1 = nullptr,
                *Button3 = nullptr, *Button5 = nullptr, *Button6 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TMediaPlayer* MediaPlayer1 = nullptr;
    std::vector<std::string> listboxofqian, listboxofhou;  // hidden; Save splits into them
    TOpenDialog OpenDialog1;

    static const char* const kHelpLines[8];

    // Escape and every other way of closing ask first, as the close box does.
    void reject() override { close(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void showList();
    std::string pathBoxText() const;
    // The path box's text checked for a new line; `missing` is the message when it
    // names no existing file. Shows the message and answers false when it cannot go in.
    bool pathCanGoIn(const char* missing) const;
    std::string newLine() const;
    void playOnPreview(const std::string& path);

    TForm3Services services_;
    EditedPlaylist playlist_;
};

}  // namespace tb
