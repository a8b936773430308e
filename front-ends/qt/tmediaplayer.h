#pragma once

#include "core/playback/player_bar.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <array>

namespace tb {

// The media player control as Qt draws it: a row of up to nine buttons over one device
// of the media layer. What is shown, pressable and pressed, and what a press does, is
// the player bar's (PlayerBar); this class paints it and feeds it the mouse and keys.
class TMediaPlayer final : public QWidget, public PlayerBar {
    Q_OBJECT

public:
    TMediaPlayer(MediaLayer& layer, QWidget* parent = nullptr);

    // Smallest button: the widest glyph + 8 by the tallest + 4.
    QPoint MinBtnSize() const { return {PlayerBar::MinBtnSize().width, PlayerBar::MinBtnSize().height}; }
    // The glyph a button shows now: "EN", "DI" or "CL".
    const char* glyphKind(TMPBtnType button) const;
    static QString buttonName(TMPBtnType button) { return QString::fromLatin1(PlayerBar::buttonName(button)); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    void repaint() override { update(); }
    void paintNow() override { QWidget::repaint(); }
    void resizeTo(Size size) override { resize(size.width, size.height); }
    Size currentSize() const override { return {width(), height()}; }
    void buttonStatesChanged() override;

private:
    struct Glyphs {
        QPixmap enabled, disabled, coloured;
    };

    // A hidden control gets no resize event when its geometry is set; whoever needs the
    // layout then lays it out first.
    void ensureLaidOut();
    void paintButton(class QPainter& painter, TMPBtnType button, int x);

    std::array<Glyphs, 9> Buttons;
    QSize laidOutSize_;
};

}  // namespace tb
