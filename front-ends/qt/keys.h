#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

namespace tb {

// Runs `action` when one of `keys` (without modifiers, the keypad's too) is pressed in
// `widget`, or in a child that leaves the key unhandled, and takes the key.
class KeyAction final : public QObject {
public:
    KeyAction(QWidget* widget, std::initializer_list<int> keys, std::function<void()> action)
        : QObject(widget), keys_(keys), action_(std::move(action)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (std::find(keys_.begin(), keys_.end(), key->key()) == keys_.end()) return false;
        action_();
        return true;
    }

private:
    std::vector<int> keys_;
    std::function<void()> action_;
};

}  // namespace tb
