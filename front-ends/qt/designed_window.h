#pragma once

#include "core/presenters/window_design.h"
#include "front-ends/qt/colours.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tb {

// A window's controls made from its design: each the Qt widget of its kind, at its
// place (scaled from the design's density to Qt's 96-dpi units), with its text, font,
// colours, tooltip, accessible name and description, in its tab order; the window
// itself sized, captioned and on its light ground.
class DesignedWidgets final {
public:
    // Makes the controls of kinds only the window knows how to make (the player).
    using MakeSpecial = std::function<QWidget*(const design::Control&, QWidget* parent)>;

    DesignedWidgets(QWidget& window, const design::Window& design, const MakeSpecial& special = {});

    // The control of that name, as the class it was made as.
    template <class W>
    W* get(std::string_view name) const {
        const auto it = widgets_.find(name);
        auto* w = it == widgets_.end() ? nullptr : qobject_cast<W*>(it->second);
        if (w == nullptr) design_.noSuchControl(name);
        return w;
    }

    // A length of the design in Qt's units.
    int px(int design) const { return (design * 96 + dpi_ / 2) / dpi_; }
    QFont font(const design::Font& f) const;

private:
    const design::Window& design_;
    int dpi_;
    std::map<std::string, QWidget*, std::less<>> widgets_;
};

}  // namespace tb
