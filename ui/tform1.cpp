#include "ui/tform1.h"

#include "app/collapse.h"
#include "app/dialog_service.h"
#include "app/error_box.h"
#include "schedule/schedule_file.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

namespace tb {
namespace {

QFont sansSerif(int pixels) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    return f;
}

}  // namespace

TForm1::TForm1(TApplication& app, std::filesystem::path folder, LocaleSettingsSource& locale)
    : app_(app), folder_(std::move(folder)), locale_(locale), timeFormat_(locale.read()) {
    setWindowTitle(app_.Title());
    setFont(sansSerif(11));
    buildLayout();
    buildMenus();
    // Single fixed border, minimise but no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    adjustSize();
}

TForm1::~TForm1() = default;

void TForm1::buildLayout() {
    auto* panel = new QWidget(this);
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(QStringLiteral("Playlist"), panel);
    QFont groupFont = sansSerif(15);
    group->setFont(groupFont);
    group->setStyleSheet(QStringLiteral("QGroupBox { color: blue; }"));
    outer->addWidget(group);

    auto* inner = new QVBoxLayout(group);
    ListBox1 = new QListWidget(group);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPixelSize(13);
    ListBox1->setFont(listFont);
    ListBox1->setToolTip(
        QStringLiteral("Here is the playback area, and you can double click here to play the tracks."));
    ListBox1->setStyleSheet(QStringLiteral("QListWidget { background: palette(tooltip-base); color: blue; }"));
    inner->addWidget(ListBox1);

    setCentralWidget(panel);
    // Client area 794 x 553: the panel takes what the menu bar and the status bar leave.
    panel->setFixedSize(794, 553 - 19);
    statusBar()->setFixedHeight(19);
    statusBar()->setSizeGripEnabled(false);
}

void TForm1::buildMenus() {
    N18 = menuBar()->addAction(QStringLiteral("&Exit"));
    N18->setObjectName(QStringLiteral("N18"));
    connect(N18, &QAction::triggered, this, [this] { runHandler([this] { N18Click(); }); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addSeparator();
    N17 = PopupMenu1->addAction(QStringLiteral("Exit"));
    N17->setObjectName(QStringLiteral("N17"));
    connect(N17, &QAction::triggered, this, [this] { runHandler([this] { N17Click(); }); });
}

void TForm1::loadSchedule() {
    ListBoxfilename = loadScheduleFile(folder_ / kPathsFile);
    ListBoxtime = loadScheduleFile(folder_ / kTimesFile);
    const auto lines = loadScheduleFile(folder_ / kPlaylistFile);
    ListBox1->clear();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(lines.size()));
    for (const auto& line : lines) rows.append(QString::fromStdString(line));
    ListBox1->addItems(rows);
}

void TForm1::FormCreate() { loadSchedule(); }

void TForm1::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
}

void TForm1::N18Click() {
    exitSequence(QStringLiteral("Do you really want to exit\uFF1F"), QStringLiteral("Exit system\uFF1F"));
}

void TForm1::N17Click() {
    exitSequence(QStringLiteral("Are you sure you want to quit?"), QStringLiteral("exit\uFF1F"));
}

void TForm1::exitSequence(const QString& text, const QString& caption) {
    if (!dialogs().askYesNo(text, caption)) return;
    collapseIntoCentre(*this);
    app_.Terminate();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        locale_.refresh();
        timeFormat_ = LongTimeFormat(locale_.read());
    }
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the window asks nothing: the program ends at once.
    event->accept();
    app_.Terminate();
}

}  // namespace tb
