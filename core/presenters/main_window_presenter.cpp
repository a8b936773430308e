#include "core/presenters/main_window_presenter.h"

#include "core/handler.h"
#include "core/util/file_system.h"
#include "core/schedule/schedule_file.h"

namespace tb {

MainWindowPresenter::MainWindowPresenter(MainWindowServices services, MainWindowView& view, PlayerBar& player)
    : services_(std::move(services)),
      view_(view),
      player_(player),
      timeFormat_(services_.locale.read()),
      sequencer_(schedule_, services_.clock) {
    player_.setVisibleButtons({btPlay, btPause, btStop, btNext, btPrev, btStep, btBack});
    player_.setAutoEnable(false);
    player_.setAutoRewind(false);
    player_.OnClick = [this](PlayerBar&, TMPBtnType button, bool& doDefault) { MediaPlayer1Click(button, doDefault); };
    player_.OnNotify = [this](MediaPlayerDevice&) { MediaPlayer1Notify(); };
    // A failure that repeats while its box is open counts the repeats since then.
    setErrorBoxClock([this] { return clockText(); });
}

MainWindowPresenter::~MainWindowPresenter() {
    setErrorBoxClock({});
    player_.OnClick = nullptr;
    player_.OnNotify = nullptr;
}

std::string MainWindowPresenter::clockText() {
    return timeFormat_.render(services_.clock.localTime(services_.clock.nowMs()));
}

void MainWindowPresenter::setStatus(const std::string& text) {
    status_ = text;
    view_.setStatusText(text);
}

void MainWindowPresenter::setAutoRun(bool on) {
    autoRun_ = on;
    view_.setAutoRunChecked(on);
}

void MainWindowPresenter::loadSchedule() {
    std::optional<std::string> notice;
    try {
        notice = schedule_.load(services_.folder);
    } catch (...) {
        view_.showScheduleRows(schedule_.viewLines());
        throw;
    }
    view_.showScheduleRows(schedule_.viewLines());
    hintWhenEmpty();
    tellOfTheSchedule(notice);
}

// Before anything has played, an empty schedule says how to begin.
void MainWindowPresenter::hintWhenEmpty() {
    if (schedule_.times().empty() && player_.FileName().empty()) setStatus(kEmptyScheduleHint);
}

// What a load found that would otherwise stay unnoticed, in one notice: a playlist view
// that shows other entries than ring, and entries whose time the clock never shows.
void MainWindowPresenter::tellOfTheSchedule(const std::optional<std::string>& viewNotice) {
    std::string text = viewNotice.value_or("");
    const auto rows = rowsThatNeverComeDue(schedule_.times(), timeFormat_);
    if (!rows.empty()) text += (text.empty() ? "" : "\n\n") + neverDueNotice(rows, schedule_.times(), clockText());
    if (!text.empty()) services_.dialogs.message(text, services_.app.Title());
}

std::string MainWindowPresenter::pathOf(std::size_t row) const {
    return resolveSchedulePath(services_.folder, schedule_.paths()[row]);
}

void MainWindowPresenter::removePlaylistViewRow(std::size_t row) {
    if (row >= schedule_.viewLines().size()) return;
    schedule_.removeViewRow(row);
    view_.removeScheduleRow(row);
}

void MainWindowPresenter::FormCreate() {
    view_.setVolumeSlider(255);
    loadSchedule();
    player_.setEnabledButtons({btPlay});
    setAutoRun(!services_.autostart.read().empty());
}

void MainWindowPresenter::Timer1Timer() {
    const std::int64_t now = services_.clock.nowMs();
    view_.setClockText(timeFormat_.render(services_.clock.localTime(now)));
    // Every second since the last tick is decided once, in order (see BellSequencer).
    while (const auto second = sequencer_.next(now, timeFormat_)) {
        if (second->dueRow) {
            startEntry(*second->dueRow);
        } else if (!schedule_.times().empty() && player_.FileName().empty()) {
            setStatus("No repertoire is being played");
        }
    }
    // The next bell's file is made ready ahead, as far ahead as the media layer needs,
    // so that it sounds at its second.
    const auto next = sequencer_.dueWithin(now, services_.media.prepareAheadSeconds(), timeFormat_);
    services_.media.prepare(next && *next < schedule_.paths().size() ? pathOf(*next) : std::string());
}

void MainWindowPresenter::startEntry(std::size_t row) {
    if (row >= schedule_.paths().size()) throw ListIndexError(static_cast<long long>(row));
    const std::string path = pathOf(row);
    if (player_.Mode() == mpPlaying) player_.Stop();
    player_.Close();
    player_.setFileName(path);
    setStatus("A repertoire being played:" + path);
    if (row < schedule_.viewLines().size()) view_.selectScheduleRow(row);
    startPlaying();
    player_.setEnabledButtons({btPause, btStop});
}

// Opens and plays the player's file. A bell that cannot sound must not look as if it
// did: on failure the status no longer says that something plays.
void MainWindowPresenter::startPlaying() {
    try {
        player_.Open();
        player_.Play();
    } catch (...) {
        setStatus("No repertoire is being played");
        throw;
    }
    // A refused play leaves only its code; the media layer reports why on its own.
    if (player_.Error() != 0) setStatus("No repertoire is being played");
}

void MainWindowPresenter::Button1Click() {
    const auto chosen = services_.dialogs.openFile(OpenDialog1);
    if (!chosen) return;
    if (player_.Mode() == mpPlaying) player_.Stop();
    player_.Close();
    player_.setFileName(*chosen);
    setStatus("playing " + *chosen);
    player_.setEnabledButtons({btPause, btStop});
    startPlaying();
}

void MainWindowPresenter::ListBox1DblClick() {
    player_.setEnabledButtons({btPause, btStop});
    const auto selected = view_.selectedScheduleRow();
    const long long row = selected ? static_cast<long long>(*selected) : -1;
    if (player_.Mode() == mpPlaying) player_.Stop();
    // The view's row indexes the paths list, whatever the two hold.
    if (row < 0 || static_cast<std::size_t>(row) >= schedule_.paths().size()) throw ListIndexError(row);
    const std::string path = pathOf(static_cast<std::size_t>(row));
    player_.setFileName(path);
    setStatus("A repertoire is being inserted:" + path);
    startPlaying();
}

void MainWindowPresenter::ListBox1EnterPressed() {
    if (view_.selectedScheduleRow()) ListBox1DblClick();
}

void MainWindowPresenter::MediaPlayer1Click(TMPBtnType button, bool&) {
    switch (button) {
        case btPlay:
            if (player_.FileName().empty()) {
                services_.dialogs.askOk("You have no choice of repertoire!", "Close");
                throw SilentAbort();
            }
            player_.setEnabledButtons({btPause, btStop});
            break;
        case btPause:
            player_.setEnabledButtons({btPlay, btStop});
            break;
        case btStop:
            // Opened anew, the file stops at its start: the next Play starts it from the top.
            player_.setEnabledButtons({btPlay});
            player_.Open();
            player_.Play();
            break;
        default:
            break;
    }
}

// A file that failed while it played has already been reported by the media layer.
void MainWindowPresenter::MediaPlayer1Notify() {
    if (player_.NotifyValue() == nvFailure) setStatus("No repertoire is being played");
}

void MainWindowPresenter::BitBtn2Click() {
    view_.setTimerEnabled(false);
    // All three files are read before any is taken: one that cannot be read must not
    // leave the day without bells.
    std::optional<std::string> notice;
    try {
        notice = schedule_.reload(services_.folder);
    } catch (const FileError& e) {
        view_.setTimerEnabled(true);
        throw FileError(std::string(e.what()) + ". The schedule loaded before stays in force");
    }
    view_.showScheduleRows(schedule_.viewLines());
    hintWhenEmpty();
    // Entries that came due while the timer was off are not caught up on.
    sequencer_.restart();
    view_.setTimerEnabled(true);
    tellOfTheSchedule(notice);
}

void MainWindowPresenter::N5Click() { view_.openViewWindow(schedule_.paths()); }

void MainWindowPresenter::R1Click() { view_.openAboutWindow(); }

void MainWindowPresenter::runEditor(const std::string& caption, const std::string& heading) {
    const std::unique_ptr<EditorWindow> editor = view_.makeEditor();
    // A schedule that cannot be read is reported; the editor opens all the same.
    runHandler([&] { editor->FormCreate(); });
    editor->setCaption(caption);
    editor->setLabel1(heading);
    editor->ShowModal();
}

void MainWindowPresenter::N6Click() {
    runEditor("Edit Playlist", "Editable playlist");
    BitBtn2Click();  // what the editor saved becomes the schedule
}

void MainWindowPresenter::BuySourceCode1Click() { view_.openPurchaseWindow(); }

void MainWindowPresenter::N8Click() {
    const std::filesystem::path executable = fullPath(services_.executable);
    if (autoRun_) {
        services_.autostart.remove();
        setAutoRun(false);
    } else {
        services_.autostart.write(executable);
        setAutoRun(true);
    }
}

// A change to the position the volume already has does nothing.
void MainWindowPresenter::TrackBar1Change() {
    const int position = view_.volumeSlider();
    if (position == volumePosition_) return;
    volumePosition_ = position;
    services_.volume.setVolume(volumeForSlider(position));
}

void MainWindowPresenter::BitBtn1Click() { view_.hideToTray(); }

void MainWindowPresenter::M1Click() { view_.showFromTray(); }

void MainWindowPresenter::TrayIcon1DblClick() { view_.showFromTray(); }

void MainWindowPresenter::N18Click() { exitSequence("Do you really want to exit\uFF1F", "Exit system\uFF1F"); }

void MainWindowPresenter::N17Click() { exitSequence("Are you sure you want to quit?", "exit\uFF1F"); }

void MainWindowPresenter::exitSequence(const std::string& text, const std::string& caption) {
    if (!services_.dialogs.askYesNo(text, caption)) return;
    player_.Close();
    view_.setTimerEnabled(false);
    view_.collapse(kCollapseTime);
    services_.app.Terminate();
}

void MainWindowPresenter::FormClose() { services_.app.Terminate(); }

void MainWindowPresenter::RegionalSettingsChanged() {
    services_.locale.refresh();
    timeFormat_ = LongTimeFormat(services_.locale.read());
}

}  // namespace tb
