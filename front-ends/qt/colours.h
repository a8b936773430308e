#pragma once

#include "core/presenters/palette.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace tb {

inline QColor qcolour(design::Colour c) { return {c.red, c.green, c.blue}; }

// The core's palette as Qt colours.
namespace colours {
inline const QColor face = qcolour(design::palette::face);
inline const QColor cream = qcolour(design::palette::cream);
inline const QColor white = qcolour(design::palette::white);
inline const QColor black = qcolour(design::palette::black);
inline const QColor blue = qcolour(design::palette::blue);
inline const QColor navy = qcolour(design::palette::navy);
inline const QColor red = qcolour(design::palette::red);
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
