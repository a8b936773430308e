#include "front-ends/qt/designed_window.h"

#include "core/presenters/small_windows_design.h"

#include "front-ends/qt/colours.h"
#include "front-ends/qt/fonts.h"

#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace tb {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QWidget* make(const design::Control& c, QWidget* parent) {
    using design::Kind;
    switch (c.kind) {
        case Kind::Label: return new QLabel(q(c.text), parent);
        case Kind::Edit: return new QLineEdit(q(c.text), parent);
        case Kind::PictureButton: return new QToolButton(parent);
        case Kind::TimePicker: {
            auto* picker = new QDateTimeEdit(parent);
            picker->setDisplayFormat(q(c.text));
            return picker;
        }
        case Kind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            return list;
        }
        case Kind::PushButton: {
            auto* button = new QPushButton(q(c.text), parent);
            button->setAutoDefault(false);
            return button;
        }
        case Kind::GroupBox: return new QGroupBox(q(c.text), parent);
        case Kind::Memo: {
            auto* memo = new QPlainTextEdit(q(c.text), parent);
            memo->setFrameShape(QFrame::NoFrame);
            memo->setReadOnly(c.readOnly);
            return memo;
        }
        default: return new QWidget(parent);
    }
}

}  // namespace

QFont DesignedWidgets::font(const design::Font& f) const {
    const std::string face(f.face);
    return uiFont(face.c_str(), px(f.pixels), f.bold);
}

DesignedWidgets::DesignedWidgets(QWidget& window, const design::Window& design, const MakeSpecial& special)
    : design_(design), dpi_(design.dpi) {
    if (!design.caption.empty()) window.setWindowTitle(q(design.caption));
    window.setFont(font(design.font));
    window.setFixedSize(px(design.width), px(design.height));
    // Its fixed text colours stand on the light ground they were chosen for.
    lightFace(&window, qcolour(design.face.value_or(design::colours::face)));

    std::vector<std::pair<int, QWidget*>> tabs;
    for (const design::Control& c : design.controls) {
        QWidget* parent = c.parent.empty() ? &window : widgets_.at(std::string(c.parent));
        QWidget* w = c.kind == design::Kind::MediaPlayer && special ? special(c, parent) : make(c, parent);
        w->setObjectName(q(c.name));  // how tests find it
        widgets_.emplace(std::string(c.name), w);
        if (c.font) w->setFont(font(*c.font));
        // A height of 0 is the control's own: a label's line, an edit's.
        const int height = c.rect.height != 0 ? px(c.rect.height)
                           : qobject_cast<QLabel*>(w) ? QFontMetrics(w->font()).height()
                                                      : w->sizeHint().height();
        w->setGeometry(c.fill ? parent->contentsRect() : QRect(px(c.rect.x), px(c.rect.y), px(c.rect.width), height));
        if (c.ink && (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w))) {
            textColour(w, qcolour(*c.ink));
        } else if (c.ink || c.face) {
            fixColours(w, QPalette::Text, qcolour(c.ink.value_or(design::Colour{})), QPalette::Base,
                       qcolour(c.face.value_or(design::Colour{0xFF, 0xFF, 0xFF})));
        }
        if (!c.accessibleName.empty()) w->setAccessibleName(q(c.accessibleName));
        if (!c.hint.empty()) {
            w->setToolTip(q(c.hint));
            w->setAccessibleDescription(q(c.hint));
        }
        if (c.tabOrder >= 0) {
            tabs.emplace_back(c.tabOrder, w);
        } else if (qobject_cast<QPlainTextEdit*>(w)) {
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    std::sort(tabs.begin(), tabs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabs.size(); ++i) QWidget::setTabOrder(tabs[i - 1].second, tabs[i].second);
}

}  // namespace tb
