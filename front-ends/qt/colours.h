#pragma once

#include "core/presenters/small_windows_design.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace tb {

// The text colours the windows fix, and the backgrounds of the light palette they were
// chosen for. Whoever fixes a text colour fixes its background as well, so that a dark
// desktop palette never puts blue or red text on a dark ground.
namespace colours {
inline QColor of(design::Colour c) { return {c.red, c.green, c.blue}; }
inline const QColor face = of(design::colours::face);  // the window face
inline const QColor cream{0xFF, 0xFF, 0xE1};  // the tooltip background: the playlist, the clock
inline const QColor white = of(design::colours::white);
inline const QColor black = of(design::colours::black);
inline const QColor blue = of(design::colours::blue);
inline const QColor navy = of(design::colours::navy);
inline const QColor red = of(design::colours::red);
}  // namespace colours

// A text colour in `textRole` over `back` in `backRole`.
inline void fixColours(QWidget* w, QPalette::ColorRole textRole, const QColor& text, QPalette::ColorRole backRole,
                       const QColor& back) {
    QPalette p = w->palette();
    p.setColor(textRole, text);
    p.setColor(backRole, back);
    w->setPalette(p);
}

// A window or panel whose texts stand on the face: filled with it, plain text black.
inline void lightFace(QWidget* w, const QColor& back = colours::face) {
    fixColours(w, QPalette::WindowText, colours::black, QPalette::Window, back);
    w->setAutoFillBackground(true);
}

// A label's (or group caption's) colour over whatever it stands on.
inline void textColour(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

}  // namespace tb
