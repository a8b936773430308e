#include "front-ends/qt/tform1.h"

#include "front-ends/qt/collapse.h"
#include "core/dialogs.h"
#include "front-ends/qt/handlers.h"
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
    const design::Window& design = design::mainWindow();
    setWindowTitle(QString::fromUtf8(design.caption.data(), static_cast<qsizetype>(design.caption.size())));
    setFont(uiFont(std::string(design.font.face).c_str(), design.font.pixels, design.font.bold));
    // The timer runs from the moment the window is built; its ticks wait for the
    // presenter, which comes with the controls.
    c_.Timer1 = new TTimer(services_.clock, this);
    c_.Timer1->OnTimer = [this] { Timer1Timer(); };
    buildLayout();
    presenter_ = std::make_unique<MainWindowPresenter>(services_, *this, *c_.MediaPlayer1);
    c_.Timer1->setEnabled(true);
    buildMenus();
    setWindowIcon(programIcon());
    c_.TrayIcon1 = new TTrayIcon(*this, makeTray_ ? makeTray_() : makeSystemTrayArea());
    presenter_->setUpTrayIcon(*c_.TrayIcon1, programIcon(), c_.PopupMenu1);
    c_.ListBox1->viewport()->installEventFilter(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    adjustSize();
    setFixedSize(size());
}

TForm1::~TForm1() {
    windows_.clear();
    c_.Timer1->setEnabled(false);
}

// Kept while open (see KeptWindows), centred over the main window.
QWidget* TForm1::keep(std::unique_ptr<QWidget> window) {
    centreOver(*window, this);
    return &windows_.keep(std::move(window));
}

QString TForm1::statusText() const { return c_.StatusPanels[2]->text(); }

void TForm1::showCentred() {
    centreOver(*this, nullptr);
    show();
}

void TForm1::setClockText(const std::string& text) { c_.Edit3->setText(q(text)); }

// A screen reader reads the status as the label's description, under its name "Status".
void TForm1::setStatusText(const std::string& text) {
    c_.StatusPanels[2]->setText(q(text));
    c_.StatusPanels[2]->setAccessibleDescription(q(text));
}

void TForm1::showScheduleRows(const std::vector<std::string>& rows) {
    QStringList items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto& line : rows) items.append(q(line));
    c_.ListBox1->clear();
    c_.ListBox1->addItems(items);
}

void TForm1::removeScheduleRow(std::size_t row) { delete c_.ListBox1->takeItem(static_cast<int>(row)); }

void TForm1::selectScheduleRow(std::size_t row) { c_.ListBox1->setCurrentRow(static_cast<int>(row)); }

std::optional<std::size_t> TForm1::selectedScheduleRow() const {
    const QList<QListWidgetItem*> selected = c_.ListBox1->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(c_.ListBox1->row(selected.front()));
}

void TForm1::setAutoRunChecked(bool checked) {
    c_.N8->setChecked(checked);
    c_.N12->setChecked(checked);
}

void TForm1::setVolumeSlider(int position) { c_.TrackBar1->setValue(position); }

int TForm1::volumeSlider() const { return c_.TrackBar1->value(); }

void TForm1::setTimerEnabled(bool enabled) { c_.Timer1->setEnabled(enabled); }

void TForm1::openViewWindow(const std::vector<std::string>& paths) {
    keep(std::make_unique<TForm4>(paths))->show();
}

void TForm1::openAboutWindow() { keep(std::make_unique<TForm5>())->show(); }

void TForm1::openPurchaseWindow() {
    auto* window = static_cast<TFormBuySourceCode*>(keep(std::make_unique<TFormBuySourceCode>()));
    centreOver(*window, nullptr);
    window->exec();  // modal: the command waits until it is closed
}

std::unique_ptr<EditorWindow> TForm1::makeEditor() {
    return std::make_unique<TForm3>(TForm3Services{services_.folder, presenter_->timeFormat(), services_.clock,
                                                   services_.media,
                                                   [this](std::size_t row) { removePlaylistViewRow(row); }},
                                    this);
}

void TForm1::collapse(std::chrono::milliseconds duration) { collapseIntoCentre(*this, duration); }

void TForm1::hideToTray() { c_.TrayIcon1->HideMainForm(); }

void TForm1::showFromTray() { c_.TrayIcon1->ShowMainForm(); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // A double click anywhere in the playlist view, below the rows too.
    if (watched == c_.ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ListBox1DblClick();
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
