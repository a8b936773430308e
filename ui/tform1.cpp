#include "ui/tform1.h"

#include "app/collapse.h"
#include "core/dialogs.h"
#include "core/handler.h"
#include "app/placement.h"
#include "app/program_icon.h"
#include "playback/tmediaplayer.h"
#include "schedule/schedule_file.h"
#include "ui/fonts.h"
#include "ui/text.h"
#include "ui/tform3.h"
#include "ui/tform4.h"
#include "ui/ttimer.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSlider>

namespace tb {
namespace {

QString q(const std::string& s) { return qtext(s); }

}  // namespace

TForm1::TForm1(TForm1Services services)
    : services_(std::move(services)), timeFormat_(services_.locale.read()), sequencer_(schedule_, services_.clock) {
    setWindowTitle(q(services_.app.Title()));
    setFont(uiFont("MS Sans Serif", 11));
    // The timer runs from the moment the window is built.
    Timer1 = new TTimer(services_.clock, this);
    Timer1->OnTimer = [this] { Timer1Timer(); };
    Timer1->setEnabled(true);
    buildLayout();
    buildMenus();
    setWindowIcon(programIcon());
    // Set in this order, so that the icon appears with its final picture and tooltip.
    TrayIcon1 = new TTrayIcon(*this, services_.makeTray ? services_.makeTray() : makeSystemTrayArea());
    TrayIcon1->setHint(QStringLiteral("TollbrookV1.01"));
    TrayIcon1->setIcon(programIcon());
    TrayIcon1->setPopupMenu(PopupMenu1);
    TrayIcon1->MinimizeToTray = true;
    TrayIcon1->OnDblClick = [this] { TrayIcon1DblClick(); };
    TrayIcon1->setIconVisible(true);
    MediaPlayer1->OnClick = [this](TMediaPlayer& sender, TMPBtnType button, bool& doDefault) {
        MediaPlayer1Click(sender, button, doDefault);
    };
    connect(Button1, &QPushButton::clicked, this, [this] { runHandler([this] { Button1Click(); }); });
    ListBox1->viewport()->installEventFilter(this);
    OpenDialog1.filters = musicFileFilters();
    // A file that failed while it played has already been reported by the media layer.
    MediaPlayer1->OnNotify = [this](MediaPlayerDevice& player) {
        if (player.NotifyValue() == nvFailure) setStatus("No repertoire is being played");
    };
    // A failure that repeats while its box is open counts the repeats since then.
    setErrorBoxClock([this] { return timeFormat_.render(services_.clock.localTime(services_.clock.nowMs())); });
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    adjustSize();
    setFixedSize(size());
}

TForm1::~TForm1() {
    setErrorBoxClock({});
    windows_.clear();
    Timer1->setEnabled(false);
}

QWidget* TForm1::keep(std::unique_ptr<QWidget> window) {
    centreOver(*window, this);
    windows_.push_back(std::move(window));
    return windows_.back().get();
}

QString TForm1::statusText() const { return StatusPanels[2]->text(); }

void TForm1::setStatus(const std::string& text) { StatusPanels[2]->setText(q(text)); }

void TForm1::loadSchedule() {
    try {
        schedule_.load(services_.folder);
    } catch (...) {
        showPlaylistView();
        throw;
    }
    showPlaylistView();
    tellOfTimesThatNeverRing();
}

// An entry whose time the clock never shows would stay silent without a word.
void TForm1::tellOfTimesThatNeverRing() {
    const auto rows = rowsThatNeverComeDue(schedule_.times(), timeFormat_);
    if (rows.empty()) return;
    const std::string now = timeFormat_.render(services_.clock.localTime(services_.clock.nowMs()));
    dialogs().message(neverDueNotice(rows, schedule_.times(), now), applicationTitle());
}

std::string TForm1::pathOf(std::size_t row) const {
    return resolveSchedulePath(services_.folder, schedule_.paths()[row]);
}

void TForm1::showPlaylistView() {
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(schedule_.viewLines().size()));
    for (const auto& line : schedule_.viewLines()) rows.append(q(line));
    ListBox1->clear();
    ListBox1->addItems(rows);
}

void TForm1::removePlaylistViewRow(std::size_t row) {
    if (row >= schedule_.viewLines().size()) return;
    schedule_.removeViewRow(row);
    delete ListBox1->takeItem(static_cast<int>(row));
}

void TForm1::FormCreate() {
    TrackBar1->setValue(255);
    loadSchedule();
    MediaPlayer1->setEnabledButtons({btPlay});
    const bool autorun = !services_.autostart.read().empty();
    N8->setChecked(autorun);
    N12->setChecked(autorun);
}

void TForm1::showCentred() {
    centreOver(*this, nullptr);
    show();
}

void TForm1::Timer1Timer() {
    const std::int64_t now = services_.clock.nowMs();
    Edit3->setText(q(timeFormat_.render(services_.clock.localTime(now))));
    // Every second since the last tick is decided once, in order (see BellSequencer).
    while (const auto second = sequencer_.next(now, timeFormat_)) {
        if (second->dueRow) {
            startEntry(*second->dueRow);
        } else if (!schedule_.times().empty() && MediaPlayer1->FileName().empty()) {
            setStatus("No repertoire is being played");
        }
    }
    // The next bell's file is made ready ahead, so that it sounds at its second.
    const auto next = sequencer_.dueWithin(now, kPrepareAheadSeconds, timeFormat_);
    services_.media.prepare(next && *next < schedule_.paths().size() ? pathOf(*next) : std::string());
}

void TForm1::startEntry(std::size_t row) {
    if (row >= schedule_.paths().size()) throw ListIndexError(static_cast<long long>(row));
    const std::string path = pathOf(row);
    if (MediaPlayer1->Mode() == mpPlaying) MediaPlayer1->Stop();
    MediaPlayer1->Close();
    MediaPlayer1->setFileName(path);
    setStatus("A repertoire being played:" + path);
    if (row < static_cast<std::size_t>(ListBox1->count())) ListBox1->setCurrentRow(static_cast<int>(row));
    startPlaying();
    MediaPlayer1->setEnabledButtons({btPause, btStop});
}

// Opens and plays the player's file. A bell that cannot sound must not look as if it
// did: on failure the status no longer says that something plays.
void TForm1::startPlaying() {
    try {
        MediaPlayer1->Open();
        MediaPlayer1->Play();
    } catch (...) {
        setStatus("No repertoire is being played");
        throw;
    }
    // A refused play leaves only its code; the media layer reports why on its own.
    if (MediaPlayer1->Error() != 0) setStatus("No repertoire is being played");
}

void TForm1::Button1Click() {
    const auto chosen = dialogs().openFile(OpenDialog1);
    if (!chosen) return;
    const std::string path = *chosen;
    if (MediaPlayer1->Mode() == mpPlaying) MediaPlayer1->Stop();
    MediaPlayer1->Close();
    MediaPlayer1->setFileName(path);
    setStatus("playing " + path);
    MediaPlayer1->setEnabledButtons({btPause, btStop});
    startPlaying();
}

void TForm1::ListBox1DblClick() {
    MediaPlayer1->setEnabledButtons({btPause, btStop});
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    const int row = selected.isEmpty() ? -1 : ListBox1->row(selected.front());
    if (MediaPlayer1->Mode() == mpPlaying) MediaPlayer1->Stop();
    // The view's row indexes the paths list, whatever the two hold.
    if (row < 0 || static_cast<std::size_t>(row) >= schedule_.paths().size()) throw ListIndexError(row);
    const std::string path = pathOf(static_cast<std::size_t>(row));
    MediaPlayer1->setFileName(path);
    setStatus("A repertoire is being inserted:" + path);
    startPlaying();
}

void TForm1::MediaPlayer1Click(TMediaPlayer&, TMPBtnType button, bool&) {
    switch (button) {
        case btPlay:
            if (MediaPlayer1->FileName().empty()) {
                dialogs().askOk("You have no choice of repertoire!", "Close");
                throw SilentAbort();
            }
            MediaPlayer1->setEnabledButtons({btPause, btStop});
            break;
        case btPause:
            MediaPlayer1->setEnabledButtons({btPlay, btStop});
            break;
        case btStop:
            // Opened anew, the file stops at its start: the next Play starts it from the top.
            MediaPlayer1->setEnabledButtons({btPlay});
            MediaPlayer1->Open();
            MediaPlayer1->Play();
            break;
        default:
            break;
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the playlist view, below the rows too.
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runHandler([this] { ListBox1DblClick(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::BitBtn2Click() {
    Timer1->setEnabled(false);
    // All three files are read before any is taken: one that cannot be read must not
    // leave the day without bells.
    try {
        schedule_.reload(services_.folder);
    } catch (const FileError& e) {
        Timer1->setEnabled(true);
        throw FileError(std::string(e.what()) + ". The schedule loaded before stays in force");
    }
    ListBox1->clear();
    showPlaylistView();
    // Entries that came due while the timer was off are not caught up on.
    sequencer_.restart();
    Timer1->setEnabled(true);
    tellOfTimesThatNeverRing();
}

void TForm1::N5Click() {
    auto view = std::make_unique<TForm4>();
    for (const auto& path : schedule_.paths()) view->ListBox1->addItem(q(path));
    keep(std::move(view))->show();
}

void TForm1::R1Click() { keep(std::make_unique<TForm5>())->show(); }

void TForm1::N6Click() {
    TForm3 editor({services_.folder, timeFormat_, services_.clock, services_.media,
                   [this](std::size_t row) { removePlaylistViewRow(row); }},
                  this);
    runHandler([&] { editor.FormCreate(); });
    editor.setWindowTitle(QStringLiteral("Edit Playlist"));
    editor.Label1->setText(QStringLiteral("Editable playlist"));
    centreOver(editor, this);
    editor.exec();
    BitBtn2Click();  // what the editor saved becomes the schedule
}

void TForm1::BuySourceCode1Click() {
    auto* window = static_cast<TFormBuySourceCode*>(keep(std::make_unique<TFormBuySourceCode>()));
    centreOver(*window, nullptr);
    window->exec();  // modal: the command waits until it is closed
}

void TForm1::N8Click() {
    const std::filesystem::path executable = std::filesystem::absolute(services_.executable);
    if (N8->isChecked()) {
        services_.autostart.remove();
        N8->setChecked(false);
        N12->setChecked(false);
    } else {
        services_.autostart.write(executable);
        N8->setChecked(true);
        N12->setChecked(true);
    }
}

void TForm1::TrackBar1Change() { services_.volume.setVolume(volumeForSlider(TrackBar1->value())); }

void TForm1::BitBtn1Click() { TrayIcon1->HideMainForm(); }

void TForm1::M1Click() { TrayIcon1->ShowMainForm(); }

void TForm1::TrayIcon1DblClick() { TrayIcon1->ShowMainForm(); }

void TForm1::N18Click() { exitSequence("Do you really want to exit\uFF1F", "Exit system\uFF1F"); }

void TForm1::N17Click() { exitSequence("Are you sure you want to quit?", "exit\uFF1F"); }

void TForm1::exitSequence(const std::string& text, const std::string& caption) {
    if (!dialogs().askYesNo(text, caption)) return;
    MediaPlayer1->Close();
    Timer1->setEnabled(false);
    collapseIntoCentre(*this);
    services_.app.Terminate();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        services_.locale.refresh();
        timeFormat_ = LongTimeFormat(services_.locale.read());
    }
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the window asks nothing: the program ends at once.
    event->accept();
    services_.app.Terminate();
}

}  // namespace tb
