#include "playback/tmediaplayer.h"

#include "app/error_box.h"
#include "playback/tmediaplayer_accessible.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace tb {
namespace {

constexpr TMPBtnType kAll[] = {btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject};
constexpr const char* kBaseNames[] = {"MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV",
                                      "MPSTEP", "MPBACK",  "MPRECORD", "MPEJECT"};

// A glyph from the program's resources, its olive pixels left out.
QPixmap glyph(const char* kind, const char* base) {
    QPixmap pixmap(QStringLiteral(":/glyphs/%1_%2.xpm").arg(QLatin1String(kind), QLatin1String(base)));
    pixmap.setMask(pixmap.createMaskFromColor(QColor(128, 128, 0), Qt::MaskInColor));
    return pixmap;
}

}  // namespace

TMediaPlayer::TMediaPlayer(MediaLayer& layer, QWidget* parent) : QWidget(parent), MediaPlayerDevice(layer) {
    int widest = 0, tallest = 0;
    for (TMPBtnType b : kAll) {
        Glyphs& g = Buttons[b];
        g.enabled = glyph("EN", kBaseNames[b]);
        g.disabled = glyph("DI", kBaseNames[b]);
        g.coloured = glyph("CL", kBaseNames[b]);
        for (const QPixmap* p : {&g.enabled, &g.disabled, &g.coloured}) {
            widest = std::max(widest, p->width());
            tallest = std::max(tallest, p->height());
        }
    }
    MinBtnSize_ = QPoint(widest + 8, tallest + 4);
    // The glyphs are black shapes with grey and white edges: they need the light face
    // they were drawn for, whatever the desktop's palette.
    QPalette face = palette();
    face.setColor(QPalette::Button, QColor(0xF0, 0xF0, 0xF0));
    face.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xFF));
    face.setColor(QPalette::Dark, QColor(0xA0, 0xA0, 0xA0));
    face.setColor(QPalette::Shadow, QColor(0x64, 0x64, 0x64));
    face.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x00));
    setPalette(face);
    installPlayerAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    resize(240, 30);
}

int TMediaPlayer::shownCount() const {
    int n = 0;
    for (TMPBtnType b : kAll) n += FVisibleButtons.contains(b);
    return n;
}

int TMediaPlayer::buttonLeft(TMPBtnType button) const {
    int left = 0;
    for (TMPBtnType b : kAll) {
        if (!FVisibleButtons.contains(b)) continue;
        if (b == button) return left;
        left += ButtonWidth_ - 1;
    }
    return -1;
}

// Neighbours share a border column: N buttons of width w take N * (w - 1) + 1 pixels.
// The size a rule gives is laid out again until it holds (a hidden control gets no
// resize event for its own resize, so the rule does not wait for one).
void TMediaPlayer::layoutButtons() {
    for (;;) {
        const int n = std::max(1, shownCount());
        ButtonWidth_ = (width() - 1) / n + 1;
        const int w = std::max(n * (ButtonWidth_ - 1) + 1, n * (MinBtnSize_.x() - 1) + 1);
        const int h = std::max(height(), MinBtnSize_.y());
        if (w == width() && h == height()) break;
        resize(w, h);
    }
    laidOutSize_ = size();
}

// A hidden control gets no resize event when its geometry is set; whoever needs the
// layout then lays it out first.
void TMediaPlayer::ensureLaidOut() {
    if (size() != laidOutSize_) layoutButtons();
}

void TMediaPlayer::resizeEvent(QResizeEvent*) { layoutButtons(); }

void TMediaPlayer::showEvent(QShowEvent*) { ensureLaidOut(); }

void TMediaPlayer::setVisibleButtons(TButtonSet buttons) {
    ensureLaidOut();
    FVisibleButtons = buttons;
    resize(std::max(0, std::max(1, shownCount()) * (ButtonWidth_ - 1) + 1), height());
    layoutButtons();
    update();
}

void TMediaPlayer::setEnabledButtons(TButtonSet buttons) {
    FEnabledButtons = buttons;
    update();
    notifyPlayerButtonStates(this);
}

void TMediaPlayer::setColoredButtons(TButtonSet buttons) {
    FColoredButtons = buttons;
    update();
}

void TMediaPlayer::setAutoEnable(bool value) {
    if (value == FAutoEnable) return;
    FAutoEnable = value;
    if (value) {
        RefreshAutoButtons();
    } else {
        setEnabledButtons(FEnabledButtons);
    }
}

void TMediaPlayer::RefreshAutoButtons() {
    autoFlags_ = FAutoButtons;
    update();
}

const char* TMediaPlayer::glyphKind(TMPBtnType button) const {
    if (!isEnabled()) return "DI";
    const bool on = FAutoEnable ? autoFlags_.contains(button) : FEnabledButtons.contains(button);
    if (!on) return "DI";
    return FColoredButtons.contains(button) ? "CL" : "EN";
}

bool TMediaPlayer::pressableByMouse(TMPBtnType button) const {
    return FEnabledButtons.contains(button) || (FAutoEnable && autoFlags_.contains(button));
}

void TMediaPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    int x = 0;
    for (TMPBtnType b : kAll) {
        if (!FVisibleButtons.contains(b)) continue;
        paintButton(painter, b, x);
        x += ButtonWidth_ - 1;
    }
}

void TMediaPlayer::paintButton(QPainter& painter, TMPBtnType button, int x) {
    const int w = ButtonWidth_, h = height();
    const bool sunk = Down_ && button == CurrentButton_;
    painter.setPen(palette().color(QPalette::Shadow));
    painter.setBrush(palette().color(QPalette::Button));
    painter.drawRect(x, 0, w - 1, h - 1);

    // Bevel lines take their first pixel and leave out their last.
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    painter.fillRect(x + 1, 1, 1, h - 2, sunk ? shadow : light);
    painter.fillRect(x + 1, 1, w - 2, 1, sunk ? shadow : light);
    if (!sunk) {
        painter.fillRect(x + 2, h - 2, w - 4, 1, shadow);
        painter.fillRect(x + w - 2, 2, 1, h - 3, shadow);
    }

    const char* kind = glyphKind(button);
    const Glyphs& g = Buttons[button];
    const QPixmap& pixmap = kind[0] == 'C' ? g.coloured : kind[0] == 'E' ? g.enabled : g.disabled;
    const int shift = sunk ? 1 : 0;
    painter.drawPixmap(x + w / 2 - pixmap.width() / 2 + shift, h / 2 - pixmap.height() / 2 + shift, pixmap);

    if (hasFocus() && button == FocusedButton_) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(x + 3 + shift, 3 + shift, w - 7, h - 7);
    }
}

void TMediaPlayer::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) press(event->position().toPoint());
}

// The second press of a double click is a press of its own.
void TMediaPlayer::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void TMediaPlayer::press(const QPoint& at) {
    // Both edges count, so a pointer on a shared border column hits the left button.
    for (TMPBtnType b : kAll) {
        const int left = buttonLeft(b);
        if (left < 0 || at.x() < left || at.x() > left + ButtonWidth_) continue;
        if (!pressableByMouse(b)) return;
        CurrentButton_ = b;
        if (b != FocusedButton_) {
            FocusedButton_ = b;
            repaint();
        }
        CurrentRect = QRect(left, 0, ButtonWidth_, height());
        Pressed_ = true;
        Down_ = true;
        repaint();
        return;
    }
}

void TMediaPlayer::mouseMoveEvent(QMouseEvent* event) {
    if (!Pressed_) return;
    const bool inside = CurrentRect.contains(event->position().toPoint());
    if (inside != Down_) {
        Down_ = inside;
        repaint();
    }
}

void TMediaPlayer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (Pressed_ && Down_) {
        Down_ = false;
        repaint();
        runHandler([this] {
            try {
                click();
            } catch (...) {
                Pressed_ = false;  // before the error box: its loop may bring moves
                throw;
            }
            if (FAutoEnable && Error() == 0 && MCIOpened) {
                AdjustAutoButtons(CurrentButton_);
                RefreshAutoButtons();
            }
        });
    }
    Pressed_ = false;
}

void TMediaPlayer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            pressByKeyboard(FocusedButton_);
            return;
        case Qt::Key_Left:
        case Qt::Key_Right: {
            // The focus can come to rest on a hidden first or last button.
            const int step = event->key() == Qt::Key_Left ? -1 : 1;
            const TMPBtnType end = step < 0 ? btPlay : btEject;
            TMPBtnType f = FocusedButton_;
            do {
                if (f != end) f = static_cast<TMPBtnType>(f + step);
            } while (f != end && !FVisibleButtons.contains(f));
            if (f != FocusedButton_) {
                FocusedButton_ = f;
                update();
            }
            return;
        }
        default:
            QWidget::keyPressEvent(event);
    }
}

void TMediaPlayer::pressByKeyboard(TMPBtnType button) {
    if (button != FocusedButton_) {
        FocusedButton_ = button;
        update();
    }
    if (!pressableByKeyboard(button)) return;
    CurrentButton_ = button;
    runHandler([this] {
        click();
        if (FAutoEnable) {
            AdjustAutoButtons(CurrentButton_);
            RefreshAutoButtons();
        }
    });
}

QString TMediaPlayer::buttonName(TMPBtnType button) {
    static const char* const names[] = {"Play", "Pause", "Stop", "Next", "Prev", "Step", "Back", "Record", "Eject"};
    return QString::fromLatin1(names[button]);
}

void TMediaPlayer::focusInEvent(QFocusEvent*) { repaint(); }

void TMediaPlayer::focusOutEvent(QFocusEvent*) { repaint(); }

void TMediaPlayer::click() {
    bool doDefault = true;
    if (OnClick) OnClick(*this, CurrentButton_, doDefault);
    if (!doDefault) return;
    switch (CurrentButton_) {
        case btPlay: Play(); break;
        case btPause: Pause(); break;
        case btStop: Stop(); break;
        case btNext: Next(); break;
        case btPrev: Previous(); break;
        case btStep: Step(); break;
        case btBack: Back(); break;
        case btRecord: StartRecording(); break;
        case btEject: Eject(); break;
    }
    if (OnPostClick) OnPostClick(*this, CurrentButton_);
}

}  // namespace tb
