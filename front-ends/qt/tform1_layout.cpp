// The main window's controls and menus, at their places in 96-dpi units.
#include "front-ends/qt/tmediaplayer.h"
#include "front-ends/qt/tform1.h"

#include "front-ends/qt/handlers.h"
#include "front-ends/qt/colours.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/keys.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tb {
namespace {

QFont sansSerif(int pixels, bool bold = false) { return uiFont("MS Sans Serif", pixels, bold); }

}  // namespace

void TForm1::buildLayout() {
    auto* panel = new QWidget(this);
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(QStringLiteral("Playlist"), panel);
    group->setFont(sansSerif(15));
    lightFace(group);
    textColour(group, colours::blue);
    outer->addWidget(group);

    auto* inner = new QVBoxLayout(group);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->setSpacing(0);
    ListBox1 = new QListWidget(group);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setFont(uiFont("Tahoma", 13));
    fixColours(ListBox1, QPalette::Text, colours::blue, QPalette::Base, colours::cream);
    ListBox1->setToolTip(
        QStringLiteral("Here is the playback area, and you can double click here to play the tracks."));
    ListBox1->setAccessibleName(ListBox1->toolTip());
    new KeyAction(ListBox1, {Qt::Key_Return, Qt::Key_Enter}, [this] { ListBox1EnterPressed(); });
    inner->addWidget(ListBox1, 1);

    auto* bar = new QWidget(group);
    bar->setFixedHeight(26);
    inner->addWidget(bar);

    TrackBar1 = new QSlider(Qt::Horizontal, bar);
    TrackBar1->setGeometry(0, 2, 105, 20);
    TrackBar1->setRange(0, 255);
    TrackBar1->setValue(1);
    TrackBar1->setToolTip(QStringLiteral("Volume control"));
    TrackBar1->setAccessibleName(TrackBar1->toolTip());
    onSignal(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });

    Edit3 = new QLineEdit(bar);
    Edit3->setGeometry(102, 3, 92, 19);
    Edit3->setReadOnly(true);
    Edit3->setFrame(false);
    Edit3->setFont(sansSerif(12, true));
    Edit3->setAccessibleName(QStringLiteral("Clock"));
    // A frameless line edit draws no background, so each second's new text would
    // repaint the group box under it as well; filled, it repaints only itself.
    Edit3->setAutoFillBackground(true);
    fixColours(Edit3, QPalette::Text, colours::blue, QPalette::Base, colours::cream);

    BitBtn2 = new QToolButton(bar);
    BitBtn2->setGeometry(201, 4, 17, 17);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    BitBtn2->setCursor(Qt::PointingHandCursor);
    BitBtn2->setToolTip(QStringLiteral("Refresh"));
    BitBtn2->setAccessibleName(BitBtn2->toolTip());
    onSignal(BitBtn2, &QToolButton::clicked, this, [this] { BitBtn2Click(); });

    BitBtn1 = new QToolButton(bar);
    BitBtn1->setGeometry(223, 4, 17, 17);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_TitleBarMinButton));
    BitBtn1->setCursor(Qt::PointingHandCursor);
    BitBtn1->setToolTip(QStringLiteral("Put on the tray"));
    BitBtn1->setAccessibleName(BitBtn1->toolTip());
    onSignal(BitBtn1, &QToolButton::clicked, this, [this] { BitBtn1Click(); });

    Button1 = new QPushButton(QStringLiteral("Play"), bar);
    Button1->setGeometry(249, -4, 54, 29);
    Button1->setFont(sansSerif(12));

    MediaPlayer1 = new TMediaPlayer(services_.media, bar);
    MediaPlayer1->setGeometry(305, -5, 197, 30);
    MediaPlayer1->setToolTip(QStringLiteral("This is the player, and you don't have to do anything"));
    MediaPlayer1->setAccessibleName(MediaPlayer1->toolTip());

    setCentralWidget(panel);
    panel->setFixedSize(794, 553 - 19);

    auto* status = statusBar();
    status->setFixedHeight(19);
    status->setSizeGripEnabled(false);
    const int widths[3] = {10, 50, 0};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(status);
        if (widths[i] > 0) StatusPanels[i]->setFixedWidth(widths[i]);
        status->addWidget(StatusPanels[i], widths[i] > 0 ? 0 : 1);
    }
    StatusPanels[0]->setAlignment(Qt::AlignCenter);
}

void TForm1::buildMenus() {
    auto handler = [this](QAction* action, void (TForm1::*method)()) {
        onSignal(action, &QAction::triggered, this, [this, method] { (this->*method)(); });
    };
    // A checkable item flips its own mark when it is triggered; the state is the mark
    // as it was, so the flip is undone before the handler decides.
    auto toggle = [this](QAction* action) {
        action->setCheckable(true);
        onSignal(action, &QAction::triggered, this, [this, action] {
            action->setChecked(!action->isChecked());
            N8Click();
        });
    };

    QMenu* system = menuBar()->addMenu(QStringLiteral("&System"));
    N8 = system->addAction(QStringLiteral("&Auto Run"));
    toggle(N8);
    QMenu* option = menuBar()->addMenu(QStringLiteral("&Option"));
    N5 = option->addAction(QStringLiteral("&View Playlist"));
    handler(N5, &TForm1::N5Click);
    N6 = option->addAction(QStringLiteral("&Edit Playlist"));
    handler(N6, &TForm1::N6Click);
    QMenu* about = menuBar()->addMenu(QStringLiteral("&About"));
    BuySourceCode1 = about->addAction(QStringLiteral("Buy Source Code"));
    handler(BuySourceCode1, &TForm1::BuySourceCode1Click);
    R1 = about->addAction(QStringLiteral("&About"));
    handler(R1, &TForm1::R1Click);
    N18 = menuBar()->addAction(QStringLiteral("&Exit"));
    handler(N18, &TForm1::N18Click);

    PopupMenu1 = new QMenu(this);
    M1 = PopupMenu1->addAction(QStringLiteral("Restore window"));
    handler(M1, &TForm1::M1Click);
    N12 = PopupMenu1->addAction(QStringLiteral("Auto run"));
    toggle(N12);
    N13 = PopupMenu1->addAction(QStringLiteral("View the playlist"));
    handler(N13, &TForm1::N5Click);
    N14 = PopupMenu1->addAction(QStringLiteral("Edit playlist"));
    handler(N14, &TForm1::N6Click);
    PopupMenu1->addSeparator();
    N17 = PopupMenu1->addAction(QStringLiteral("Exit"));
    handler(N17, &TForm1::N17Click);
}

}  // namespace tb
