#include "front-ends/qt/tmediaplayer.h"

#include "front-ends/qt/tmediaplayer_accessible.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace tb {
namespace {

constexpr const auto& kAll = PlayerBar::kButtonOrder;
using Glyph = PlayerBar::Glyph;

// A glyph from the program's resources, its olive pixels left out.
QPixmap loadGlyph(TMPBtnType button, Glyph kind) {
    QPixmap pixmap(QStringLiteral(":/glyphs/%1.xpm").arg(QString::fromStdString(PlayerBar::glyphName(button, kind))));
    pixmap.setMask(pixmap.createMaskFromColor(QColor(128, 128, 0), Qt::MaskInColor));
    return pixmap;
}

// The smallest button, for the widest and the tallest of all 27 glyphs.
PlayerBar::Size smallestButton() {
    int widest = 0, tallest = 0;
    for (TMPBtnType b : kAll) {
        for (Glyph kind : {Glyph::Enabled, Glyph::Disabled, Glyph::Coloured}) {
            const QPixmap p = loadGlyph(b, kind);
            widest = std::max(widest, p.width());
            tallest = std::max(tallest, p.height());
        }
    }
    return PlayerBar::buttonForGlyphs({widest, tallest});
}

}  // namespace

TMediaPlayer::TMediaPlayer(MediaLayer& layer, QWidget* parent)
    : QWidget(parent), PlayerBar(layer, smallestButton()) {
    for (TMPBtnType b : kAll) {
        Glyphs& g = Buttons[b];
        g.enabled = loadGlyph(b, Glyph::Enabled);
        g.disabled = loadGlyph(b, Glyph::Disabled);
        g.coloured = loadGlyph(b, Glyph::Coloured);
    }
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

void TMediaPlayer::buttonStatesChanged() { notifyPlayerButtonStates(this); }

void TMediaPlayer::ensureLaidOut() {
    if (size() == laidOutSize_) return;
    const Size s = layOut({width(), height()});
    laidOutSize_ = QSize(s.width, s.height);
    if (laidOutSize_ != size()) resize(laidOutSize_);
}

void TMediaPlayer::resizeEvent(QResizeEvent*) { ensureLaidOut(); }

void TMediaPlayer::showEvent(QShowEvent*) { ensureLaidOut(); }

const char* TMediaPlayer::glyphKind(TMPBtnType button) const {
    switch (glyph(button, isEnabled())) {
        case Glyph::Coloured: return "CL";
        case Glyph::Enabled: return "EN";
        case Glyph::Disabled: break;
    }
    return "DI";
}

void TMediaPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    for (TMPBtnType b : kAll) {
        const int x = buttonLeft(b);
        if (x >= 0) paintButton(painter, b, x);
    }
}

void TMediaPlayer::paintButton(QPainter& painter, TMPBtnType button, int x) {
    const int w = ButtonWidth(), h = height();
    const bool down = sunk(button);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.setBrush(palette().color(QPalette::Button));
    painter.drawRect(x, 0, w - 1, h - 1);

    // Bevel lines take their first pixel and leave out their last.
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    painter.fillRect(x + 1, 1, 1, h - 2, down ? shadow : light);
    painter.fillRect(x + 1, 1, w - 2, 1, down ? shadow : light);
    if (!down) {
        painter.fillRect(x + 2, h - 2, w - 4, 1, shadow);
        painter.fillRect(x + w - 2, 2, 1, h - 3, shadow);
    }

    const Glyphs& g = Buttons[button];
    const Glyph kind = glyph(button, isEnabled());
    const QPixmap& pixmap = kind == Glyph::Coloured ? g.coloured : kind == Glyph::Enabled ? g.enabled : g.disabled;
    const int shift = down ? 1 : 0;
    painter.drawPixmap(x + w / 2 - pixmap.width() / 2 + shift, h / 2 - pixmap.height() / 2 + shift, pixmap);

    if (hasFocus() && button == FocusedButton()) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(x + 3 + shift, 3 + shift, w - 7, h - 7);
    }
}

void TMediaPlayer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    ensureLaidOut();
    const TMPBtnType focused = FocusedButton();
    mouseDown(event->position().toPoint().x());
    if (FocusedButton() != focused) notifyPlayerFocus(this);
}

// The second press of a double click is a press of its own.
void TMediaPlayer::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void TMediaPlayer::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    mouseMove(at.x(), at.y());
}

void TMediaPlayer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) mouseUp();
}

void TMediaPlayer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space: keyDown(Key::Space); return;
        case Qt::Key_Left: keyDown(Key::Left); notifyPlayerFocus(this); return;
        case Qt::Key_Right: keyDown(Key::Right); notifyPlayerFocus(this); return;
        default: QWidget::keyPressEvent(event);
    }
}

void TMediaPlayer::focusInEvent(QFocusEvent*) {
    focusChanged();
    notifyPlayerFocus(this);
}

void TMediaPlayer::focusOutEvent(QFocusEvent*) { focusChanged(); }

}  // namespace tb
