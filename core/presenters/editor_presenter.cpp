#include "core/presenters/editor_presenter.h"

#include "core/handler.h"
#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_reader.h"

namespace tb {

EditorPresenter::EditorPresenter(EditorServices services, EditorView& view, MediaPlayerDevice& preview)
    : services_(std::move(services)), view_(view), preview_(preview) {}

void EditorPresenter::showList() { view_.showLines(playlist_.lines(), playlist_.selected()); }

void EditorPresenter::FormCreate() {
    view_.setPathBoxText({});
    playlist_ = EditedPlaylist(readScheduleFile(services_.folder / kPlaylistFile));
    showList();
    view_.setPickerToToday(services_.clock.localTime(services_.clock.nowMs()));
    DateTimePicker1Change();
}

std::string EditorPresenter::pickerTimeText() const {
    TimeOfDay t = view_.pickerTime();
    t.millisecond = 0;
    return services_.format.render(t);
}

void EditorPresenter::DateTimePicker1Change() {
    view_.setAmPmLabel({});
    const std::string text = pickerTimeText();
    if (text.find("AM") != std::string::npos) view_.setAmPmLabel("AM");
    if (text.find("PM") != std::string::npos) view_.setAmPmLabel("PM");
}

bool EditorPresenter::pathCanGoIn(const char* missing) const {
    const std::string path = view_.pathBoxText();
    if (!namesExistingFile(path)) {
        services_.dialogs.message(missing, services_.title);
        return false;
    }
    // The line would be split at the bar, or across lines, when the files are read.
    if (!storableInPlaylistLine(path)) {
        services_.dialogs.message("A file whose path holds \"|\" or a line break cannot go into the playlist!",
                                  services_.title);
        return false;
    }
    return true;
}

std::string EditorPresenter::newLine() const { return makePlaylistLine(view_.pathBoxText(), pickerTimeText()); }

void EditorPresenter::Button2Click() {
    if (!pathCanGoIn("file does not exist!Cannot be added!")) return;
    playlist_.add(newLine());
    showList();
}

void EditorPresenter::Button4Click() {
    if (!pathCanGoIn("file does not exist!Cannot be inserted!")) return;
    playlist_.insert(newLine());
    showList();
}

void EditorPresenter::Button7Click() {
    if (!pathCanGoIn("File does not exist! Can not add!")) return;
    playlist_.update(newLine());
    showList();
}

void EditorPresenter::Button1Click() {
    if (const auto row = playlist_.remove()) {
        showList();
        if (services_.removeViewRow) services_.removeViewRow(*row);
    }
}

void EditorPresenter::Button3Click() {
    saveSchedule(services_.folder, playlist_.lines(), listboxofqian_, listboxofhou_);
    services_.dialogs.message("Update success!", services_.title);
}

void EditorPresenter::ListBox1DblClick() {
    const auto row = playlist_.selected();
    if (!row) throw ListIndexError(-1);
    const auto [path, timeText] = splitPlaylistLine(playlist_.lines()[*row]);
    view_.setPathBoxText(path);
    // Only the time of day changes; the label is not refreshed by this command.
    view_.setPickerTime(readTimeText(timeText, services_.format.settings()));
}

void EditorPresenter::ListBox1EnterPressed() {
    if (playlist_.selected()) ListBox1DblClick();
}

void EditorPresenter::playOnPreview(const std::string& path) {
    if (preview_.Mode() == mpPlaying) preview_.Stop();
    preview_.setFileName(path);
    preview_.Open();
    preview_.Play();
}

void EditorPresenter::Button6Click() {
    const auto row = playlist_.selected();
    if (!row) return;
    const std::string path = splitPlaylistLine(playlist_.lines()[*row]).first;
    if (!namesExistingFile(path)) {
        services_.dialogs.message(path + "File does not exist, can not play!", services_.title);
        return;
    }
    playOnPreview(path);
}

void EditorPresenter::SpeedButton1Click() {
    if (const auto chosen = services_.dialogs.openFile(OpenDialog1_)) view_.setPathBoxText(*chosen);
}

void EditorPresenter::SpeedButton2Click() {
    const std::string path = view_.pathBoxText();
    if (!namesExistingFile(path)) return;
    playOnPreview(path);
}

bool EditorPresenter::FormCloseQuery() {
    if (asking_) return false;
    asking_ = true;
    bool saved = true;
    runHandler([&] {
        if (!services_.dialogs.confirm("Do you have the changes you made before you quit?", "Confirm")) return;
        saved = false;
        Button3Click();
        saved = true;
    });
    asking_ = false;
    return saved;
}

void EditorPresenter::FormClose() { preview_.Close(); }

bool EditorPresenter::closeRequested() {
    if (!FormCloseQuery()) return false;
    // Closing the preview device must not keep the window open.
    runHandler([this] { FormClose(); });
    return true;
}

}  // namespace tb
