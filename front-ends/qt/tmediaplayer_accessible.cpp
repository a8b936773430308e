// The player control for screen readers: the control is a tool bar named "Player" and
// described by its hint, each shown button a push button child named by its function,
// whose press action presses it as Space does.
#include "front-ends/qt/tmediaplayer_accessible.h"

#include "front-ends/qt/tmediaplayer.h"

#include <QAccessibleWidget>
#include <QMetaObject>
#include <QPointer>

#include <array>
#include <vector>

namespace tb {
namespace {

constexpr const auto& kAll = PlayerBar::kButtonOrder;

class PlayerButton final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PlayerButton(TMediaPlayer* player, TMPBtnType button) : player_(player), button_(button) {}

    bool isValid() const override { return player_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(player_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && player_ ? TMediaPlayer::buttonName(button_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!player_) return {};
        const int left = player_->buttonLeft(button_);
        if (left < 0) return {};
        return {player_->mapToGlobal(QPoint(left, 0)), QSize(player_->ButtonWidth(), player_->height())};
    }
    QAccessible::Role role() const override { return QAccessible::PushButton; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!player_) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.disabled = !player_->isEnabled() || !player_->pressableByKeyboard(button_);
        s.invisible = !player_->isVisible();
        s.focused = player_->hasFocus() && player_->FocusedButton() == button_;
        s.pressed = player_->sunk(button_);
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return state().disabled ? QStringList() : QStringList{pressAction()}; }
    // The press a Space key gives, after the keyboard focus has moved to the button. It
    // runs from the event loop, not inside the screen reader's call: a press may show a
    // box, and the screen reader would wait for it to close.
    void doAction(const QString& name) override {
        if (!player_ || name != pressAction() || state().disabled) return;
        QMetaObject::invokeMethod(
            player_.data(),
            [player = player_, button = button_] {
                if (player && player->isEnabled()) player->pressByKeyboard(button);
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TMediaPlayer> player_;
    TMPBtnType button_;
};

class AccessiblePlayer final : public QAccessibleWidget {
public:
    explicit AccessiblePlayer(TMediaPlayer* player) : QAccessibleWidget(player, QAccessible::ToolBar) {}
    ~AccessiblePlayer() override {
        for (const QAccessible::Id id : ids_)
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }

    // Named for what it is; its hint, which says what to do with it, is its description.
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            // Its window names it ("Preview player" in the editor); else it is the player.
            return widget()->accessibleName().isEmpty() ? QString::fromUtf8(PlayerBar::kName) : widget()->accessibleName();
        }
        if (t == QAccessible::Description) {
            return widget()->accessibleDescription().isEmpty() ? widget()->toolTip() : widget()->accessibleDescription();
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto buttons = shown();
        if (index < 0 || index >= static_cast<int>(buttons.size())) return nullptr;
        const TMPBtnType b = buttons[static_cast<std::size_t>(index)];
        if (ids_[b] == 0) ids_[b] = QAccessible::registerAccessibleInterface(new PlayerButton(player(), b));
        return QAccessible::accessibleInterface(ids_[b]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }

private:
    TMediaPlayer* player() const { return static_cast<TMediaPlayer*>(widget()); }
    std::vector<TMPBtnType> shown() const {
        std::vector<TMPBtnType> out;
        for (TMPBtnType b : kAll)
            if (player()->VisibleButtons().contains(b)) out.push_back(b);
        return out;
    }

    mutable std::array<QAccessible::Id, 9> ids_{};
};

QAccessibleInterface* playerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(TMediaPlayer::staticMetaObject.className()) && object && object->isWidgetType()) {
        return new AccessiblePlayer(static_cast<TMediaPlayer*>(object));
    }
    return nullptr;
}

}  // namespace

void notifyPlayerButtonStates(TMediaPlayer* player) {
    if (!QAccessible::isActive()) return;  // no screen reader listens
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(player);
    if (bar == nullptr) return;
    QAccessible::State changed;
    changed.disabled = true;
    for (int i = 0; i < bar->childCount(); ++i) {
        QAccessibleStateChangeEvent event(bar->child(i), changed);
        QAccessible::updateAccessibility(&event);
    }
}

void notifyPlayerFocus(TMediaPlayer* player) {
    if (!QAccessible::isActive() || !player->hasFocus()) return;
    const int index = player->buttonLeft(player->FocusedButton()) < 0 ? -1 : [&] {
        int i = 0;
        for (TMPBtnType b : kAll) {
            if (b == player->FocusedButton()) break;
            i += player->VisibleButtons().contains(b);
        }
        return i;
    }();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(player);
    if (bar == nullptr || index < 0 || index >= bar->childCount()) return;
    QAccessibleEvent event(bar->child(index), QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

void installPlayerAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(playerFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace tb
