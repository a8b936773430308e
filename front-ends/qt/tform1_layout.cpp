// The main window's controls and menus, made by walking its design.
#include "front-ends/qt/tmediaplayer.h"
#include "front-ends/qt/tform1.h"

#include "front-ends/qt/handlers.h"
#include "core/presenters/palette.h"
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

#include <string>

namespace tb {
namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QRect qrect(const design::Rect& r) { return {r.x, r.y, r.width, r.height}; }
QFont qfont(const design::Font& f) { return uiFont(std::string(f.face).c_str(), f.pixels, f.bold); }

// The selected row in the design's colours whether or not the list has the focus.
void selectionColours(QWidget* list) {
    QPalette p = list->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, qcolour(design::palette::selection));
        p.setColor(group, QPalette::HighlightedText, qcolour(design::palette::selectionText));
    }
    list->setPalette(p);
}

}  // namespace

void TForm1::buildLayout() {
    const design::Window& design = design::mainWindow();
    auto* panel = new QWidget(this);
    panel->setFixedSize(design.width, design.control("StatusBar1").rect.y);
    std::map<std::string_view, QWidget*>& made = c_.byName;
    QStatusBar* status = statusBar();
    int statusPanel = 0;

    for (const design::Control& c : design.controls) {
        QWidget* parent = c.parent.empty() ? panel : made.at(c.parent);
        QWidget* w = nullptr;
        switch (c.kind) {
            case design::Kind::GroupBox:
                w = c_.GroupBox1 = new QGroupBox(text(c.text), parent);
                lightFace(w);
                break;
            case design::Kind::Panel: w = new QWidget(parent); break;
            case design::Kind::ListBox: {
                auto* list = c_.ListBox1 = new QListWidget(parent);
                list->setSelectionMode(QAbstractItemView::SingleSelection);
                selectionColours(list);
                // Enter on a row plays it, as a double click does.
                new KeyAction(list, {Qt::Key_Return, Qt::Key_Enter}, [this] { ListBox1EnterPressed(); });
                w = list;
                break;
            }
            case design::Kind::TrackBar:
                w = c_.TrackBar1 = new QSlider(Qt::Horizontal, parent);
                c_.TrackBar1->setRange(0, 255);
                c_.TrackBar1->setValue(1);
                onSignal(c_.TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
                break;
            case design::Kind::Edit:
                w = c_.Edit3 = new QLineEdit(parent);
                c_.Edit3->setReadOnly(true);
                c_.Edit3->setFrame(false);
                // A frameless line edit draws no background, so each second's new text would
                // repaint the group box under it as well; filled, it repaints only itself.
                c_.Edit3->setAutoFillBackground(true);
                break;
            case design::Kind::PictureButton: {
                const bool refresh = c.name == "BitBtn2";
                auto* button = new QToolButton(parent);
                button->setIcon(style()->standardIcon(refresh ? QStyle::SP_BrowserReload : QStyle::SP_TitleBarMinButton));
                button->setCursor(Qt::PointingHandCursor);
                (refresh ? c_.BitBtn2 : c_.BitBtn1) = button;
                onSignal(button, &QToolButton::clicked, this, [this, refresh] { refresh ? BitBtn2Click() : BitBtn1Click(); });
                w = button;
                break;
            }
            case design::Kind::PushButton:
                w = c_.Button1 = new QPushButton(text(c.text), parent);
                onSignal(c_.Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
                break;
            case design::Kind::MediaPlayer: w = c_.MediaPlayer1 = new TMediaPlayer(services_.media, parent); break;
            case design::Kind::StatusBar:
                w = status;
                status->setFixedHeight(c.rect.height);
                status->setSizeGripEnabled(false);
                break;
            case design::Kind::StatusPanel: {
                auto* label = new QLabel(status);
                c_.StatusPanels[statusPanel++] = label;
                if (c.rect.width > 0) label->setFixedWidth(c.rect.width);
                status->addWidget(label, c.rect.width > 0 ? 0 : 1);
                w = label;
                break;
            }
            default: design::mainWindow().unknownKind(c);
        }
        made[c.name] = w;
        w->setObjectName(text(c.name));
        if (c.kind != design::Kind::StatusBar && c.kind != design::Kind::StatusPanel) w->setGeometry(qrect(c.rect));
        if (c.font) w->setFont(qfont(*c.font));
        if (c.ink && c.face) {
            fixColours(w, QPalette::Text, qcolour(*c.ink), QPalette::Base, qcolour(*c.face));
        } else if (c.ink) {
            textColour(w, qcolour(*c.ink));
        }
        if (!c.hint.empty()) {
            w->setToolTip(text(c.hint));
            w->setAccessibleDescription(text(c.hint));
        }
        w->setAccessibleName(text(c.accessibleName));
    }
    c_.StatusPanels[0]->setAlignment(Qt::AlignCenter);
    QWidget* previous = nullptr;
    for (const design::Control& c : design.controls) {
        if (c.tabOrder < 0) continue;
        if (previous != nullptr) setTabOrder(previous, made.at(c.name));
        previous = made.at(c.name);
    }
    setCentralWidget(panel);
}

QAction* TForm1::addItem(QMenu* menu, const design::MainWindowMenuItem& item) {
    QAction* action = nullptr;
    if (item.text.empty()) {
        action = menu->addSeparator();
    } else {
        action = menu != nullptr ? menu->addAction(text(item.text)) : menuBar()->addAction(text(item.text));
        const auto handler = item.handler;
        // A checkable item flips its own mark when it is triggered; the state is the mark
        // as it was, so the flip is undone before the handler decides.
        action->setCheckable(item.checkable);
        onSignal(action, &QAction::triggered, this, [this, action, handler] {
            if (action->isCheckable()) action->setChecked(!action->isChecked());
            (presenter_.get()->*handler)();
        });
    }
    action->setObjectName(text(item.name));
    c_.items[item.name] = action;
    return action;
}

void TForm1::buildMenus() {
    QMenu* submenu = nullptr;
    const auto items = design::mainMenu();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool opensSubmenu = items[i].level == 0 && i + 1 < items.size() && items[i + 1].level == 1;
        if (opensSubmenu) {
            submenu = menuBar()->addMenu(text(items[i].text));
            submenu->setObjectName(text(items[i].name));
        } else {
            addItem(items[i].level == 0 ? nullptr : submenu, items[i]);
        }
    }
    c_.PopupMenu1 = new QMenu(this);
    for (const auto& item : design::trayMenu()) addItem(c_.PopupMenu1, item);

    auto& a = c_.items;
    c_.N8 = a.at("N8"), c_.N5 = a.at("N5"), c_.N6 = a.at("N6"), c_.BuySourceCode1 = a.at("BuySourceCode1");
    c_.R1 = a.at("R1"), c_.N18 = a.at("N18"), c_.M1 = a.at("M1"), c_.N12 = a.at("N12"), c_.N13 = a.at("N13");
    c_.N14 = a.at("N14"), c_.N17 = a.at("N17");
}

}  // namespace tb
