#include "front-ends/qt/tform1.h"

#include "front-ends/qt/collapse.h"
#include "core/dialogs.h"
#include "core/handler.h"
#include "core/presenters/window_texts.h"
#include "front-ends/qt/placement.h"
#include "front-ends/qt/program_icon.h"
#include "front-ends/qt/tmediaplayer.h"
#include "core/schedule/schedule_file.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/text.h"
#include "front-ends/qt/tform3.h"
#include "front-ends/qt/tform4.h"
#include "front-ends/qt/ttimer.h"

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

TForm1::TForm1(MainWindowServices services, std::function<std::unique_ptr<TrayArea>()> makeTray)
    : services_(std::move(services)), makeTray_(std::move(makeTray)) {
    setWindowTitle(q(services_.app.Title()));
    setFont(uiFont("MS Sans Serif", 11));
    // The timer runs from the moment the window is built; its ticks wait for the
    // presenter, which comes with the controls.
    Timer1 = new TTimer(services_.clock, this);
    Timer1->OnTimer = [this] { Timer1Timer(); };
    buildLayout();
    presenter_ = std::make_unique<MainWindowPresenter>(services_, *this, *MediaPlayer1);
    Timer1->setEnabled(true);
    buildMenus();
    setWindowIcon(programIcon());
    // Set in this order, so that the icon appears with its final picture and tooltip.
    TrayIcon1 = new TTrayIcon(*this, makeTray_ ? makeTray_() : makeSystemTrayArea());
    TrayIcon1->setHint(QString::fromUtf8(window_texts::kTrayIconHint));
    TrayIcon1->setIcon(programIcon());
    TrayIcon1->setPopupMenu(PopupMenu1);
    TrayIcon1->MinimizeToTray = true;
    TrayIcon1->OnDblClick = [this] { TrayIcon1DblClick(); };
    TrayIcon1->setIconVisible(true);
    connect(Button1, &QPushButton::clicked, this, [this] { runHandler([this] { Button1Click(); }); });
    ListBox1->viewport()->installEventFilter(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    adjustSize();
    setFixedSize(size());
}

TForm1::~TForm1() {
    windows_.clear();
    Timer1->setEnabled(false);
}

// Each command opens a window of its own, kept while it is open; those the user has
// closed since are given back here, so that a program that runs for years does not
// gather them.
QWidget* TForm1::keep(std::unique_ptr<QWidget> window) {
    std::erase_if(windows_, [](const auto& kept) { return kept->isHidden(); });
    centreOver(*window, this);
    windows_.push_back(std::move(window));
    return windows_.back().get();
}

QString TForm1::statusText() const { return StatusPanels[2]->text(); }

void TForm1::showCentred() {
    centreOver(*this, nullptr);
    show();
}

void TForm1::setClockText(const std::string& text) { Edit3->setText(q(text)); }

void TForm1::setStatusText(const std::string& text) { StatusPanels[2]->setText(q(text)); }

void TForm1::showScheduleRows(const std::vector<std::string>& rows) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto& line : rows) items.append(q(line));
    ListBox1->clear();
    ListBox1->addItems(items);
}

void TForm1::removeScheduleRow(std::size_t row) { delete ListBox1->takeItem(static_cast<int>(row)); }

void TForm1::selectScheduleRow(std::size_t row) { ListBox1->setCurrentRow(static_cast<int>(row)); }

std::optional<std::size_t> TForm1::selectedScheduleRow() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(ListBox1->row(selected.front()));
}

void TForm1::setAutoRunChecked(bool checked) {
    N8->setChecked(checked);
    N12->setChecked(checked);
}

void TForm1::setVolumeSlider(int position) { TrackBar1->setValue(position); }

int TForm1::volumeSlider() const { return TrackBar1->value(); }

void TForm1::setTimerEnabled(bool enabled) { Timer1->setEnabled(enabled); }

void TForm1::openViewWindow(const std::vector<std::string>& paths) {
    keep(std::make_unique<TForm4>(paths))->show();
}

void TForm1::openAboutWindow() { keep(std::make_unique<TForm5>())->show(); }

void TForm1::openPurchaseWindow() {
    auto* window = static_cast<TFormBuySourceCode*>(keep(std::make_unique<TFormBuySourceCode>()));
    centreOver(*window, nullptr);
    window->exec();  // modal: the command waits until it is closed
}

void TForm1::runEditor(const std::string& caption, const std::string& heading) {
    TForm3 editor({services_.folder, presenter_->timeFormat(), services_.clock, services_.media,
                   [this](std::size_t row) { removePlaylistViewRow(row); }},
                  this);
    runHandler([&] { editor.FormCreate(); });
    editor.setWindowTitle(q(caption));
    editor.setLabel1(heading);
    centreOver(editor, this);
    editor.exec();
}

void TForm1::collapse() { collapseIntoCentre(*this); }

void TForm1::hideToTray() { TrayIcon1->HideMainForm(); }

void TForm1::showFromTray() { TrayIcon1->ShowMainForm(); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the playlist view, below the rows too.
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runHandler([this] { ListBox1DblClick(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange && presenter_) presenter_->RegionalSettingsChanged();
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the window asks nothing: the program ends at once.
    event->accept();
    presenter_->FormClose();
}

}  // namespace tb
