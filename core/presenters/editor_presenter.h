#pragma once

#include "core/dialogs.h"
#include "core/playback/media_player_device.h"
#include "core/schedule/clock.h"
#include "core/schedule/edited_playlist.h"
#include "core/schedule/time_text.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// The playlist editor as its presenter sees it. Each front end's editor implements it.
class EditorView {
public:
    virtual ~EditorView() = default;
    virtual std::string pathBoxText() const = 0;
    virtual void setPathBoxText(const std::string& text) = 0;
    // The time picker's time of day; setting it changes only that, and is no user change.
    virtual TimeOfDay pickerTime() const = 0;
    virtual void setPickerTime(const TimeOfDay& time) = 0;
    // Today's date and this time of day.
    virtual void setPickerToToday(const TimeOfDay& time) = 0;
    virtual void setAmPmLabel(const std::string& text) = 0;
    // The editor list anew, with its one selected row.
    virtual void showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) = 0;
};

// What the editor works with.
struct EditorServices {
    std::filesystem::path folder;  // where the schedule files live
    const LongTimeFormat& format;  // the main window's long time format
    Clock& clock;
    DialogService& dialogs;
    std::string title;  // the caption of its messages: the application's title
    std::function<void(std::size_t row)> removeViewRow;  // the main window's playlist view
};

// The playlist editor's behaviour: its commands over the edited playlist, the checks of
// the path box, the AM/PM label rule, the preview player and the question at closing.
// Every handler runs inside the handler wrapper.
class EditorPresenter final {
public:
    EditorPresenter(EditorServices services, EditorView& view, MediaPlayerDevice& preview);

    void FormCreate();
    void Button2Click();  // Add
    void Button4Click();  // Insert
    void Button7Click();  // Update
    void Button1Click();  // Delete
    void Button3Click();  // Save
    void Button6Click();  // Play the selected row
    void ListBox1DblClick();
    void ListBox1EnterPressed();  // Enter in the list: a double click on the selected row
    void SpeedButton1Click();  // find a music file
    void SpeedButton2Click();  // preview the path box's file
    void DateTimePicker1Change();
    // Any request to close: asks whether to save first. Answers whether the window may
    // close; a save that failed keeps it open, so the user can retry or answer No. A
    // request that comes while the question is open is refused: it would ask, and save,
    // twice.
    bool FormCloseQuery();
    // The window closes: its preview device goes with it.
    void FormClose();
    // Every request to close (the close box, Escape, "Close"): the query, then, when it
    // allows, FormClose, whose failure is reported without keeping the window open.
    // Answers whether the window closes.
    bool closeRequested();

    // The user selected another row (or none).
    void selectRow(std::optional<std::size_t> row) { playlist_.select(row); }

    // The new line's time text: the picker's time of day in the long time format.
    std::string pickerTimeText() const;

    const EditedPlaylist& playlist() const { return playlist_; }
    // The hidden paths and times lists, which Save splits the playlist into.
    const std::vector<std::string>& listboxofqian() const { return listboxofqian_; }
    const std::vector<std::string>& listboxofhou() const { return listboxofhou_; }
    // The file dialog of the folder button.
    const TOpenDialog& OpenDialog1() const { return OpenDialog1_; }

private:
    void showList();
    // The path box's text checked for a new line; `missing` is the message when it
    // names no existing file. Shows the message and answers false when it cannot go in.
    bool pathCanGoIn(const char* missing) const;
    std::string newLine() const;
    void playOnPreview(const std::string& path);

    EditorServices services_;
    EditorView& view_;
    MediaPlayerDevice& preview_;
    EditedPlaylist playlist_;
    std::vector<std::string> listboxofqian_, listboxofhou_;
    const TOpenDialog OpenDialog1_{musicFileFilters()};
    bool asking_ = false;  // the question at closing is open
};

}  // namespace tb
