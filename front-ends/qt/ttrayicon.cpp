#include "front-ends/qt/ttrayicon.h"

#include "front-ends/qt/handlers.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace tb {
namespace {

class SystemTrayArea final : public TrayArea {
public:
    SystemTrayArea() {
        onSignal(&icon_, &QSystemTrayIcon::activated, &icon_, [this](QSystemTrayIcon::ActivationReason why) {
            if (!onActivated) return;
            if (why == QSystemTrayIcon::DoubleClick) onActivated(Activation::DoubleClick);
            if (why == QSystemTrayIcon::Trigger) onActivated(Activation::Click);
        });
    }
    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    bool reportsDoubleClicks() const override {
        // Qt registers with a StatusNotifierItem host whenever one is on the session bus.
        const QDBusConnection bus = QDBusConnection::sessionBus();
        return !(bus.isConnected() && bus.interface() != nullptr &&
                 bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }
    void setIcon(const QIcon& icon) override { icon_.setIcon(icon); }
    void setToolTip(const QString& text) override { icon_.setToolTip(text); }
    void setMenu(QMenu* menu) override { icon_.setContextMenu(menu); }
    void setVisible(bool visible) override {
        // Without a StatusNotifierItem host Qt falls back to an XEmbed notification area,
        // which exists on X11 only; elsewhere (Wayland) it can never show the icon, and
        // looking for one only makes Qt connect to an xcb-only signal and warn "No such
        // signal QPlatformNativeInterface::systemTrayWindowChanged".
        if (visible && QGuiApplication::platformName() != QLatin1String("xcb") && !available()) return;
        icon_.setVisible(visible);
    }

private:
    QSystemTrayIcon icon_;
};

}  // namespace

std::unique_ptr<TrayArea> makeSystemTrayArea() { return std::make_unique<SystemTrayArea>(); }

TTrayIcon::TTrayIcon(QWidget& owner, std::unique_ptr<TrayArea> area)
    : QObject(&owner), owner_(owner), area_(std::move(area)) {
    area_->onActivated = [this](TrayArea::Activation how) { activated(how); };
    owner_.installEventFilter(this);
}

TTrayIcon::~TTrayIcon() {
    owner_.removeEventFilter(this);
    area_->setVisible(false);
}

void TTrayIcon::setHint(const QString& hint) {
    hint_ = hint;
    updateToolTip();
}

void TTrayIcon::setShowHint(bool show) {
    showHint_ = show;
    updateToolTip();
}

void TTrayIcon::updateToolTip() {
    area_->setToolTip(QString::fromStdString(TrayRules::toolTip(hint_.toStdString(), showHint_)));
}

void TTrayIcon::setIcon(const QIcon& icon) {
    icon_ = icon;
    area_->setIcon(icon);
}

void TTrayIcon::setIconVisible(bool visible) {
    iconVisible_ = visible;
    area_->setVisible(visible);
}

void TTrayIcon::setPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
    area_->setMenu(menu);
}

void TTrayIcon::activated(TrayArea::Activation how) {
    const auto handler = TrayRules::forActivation(
        how == TrayArea::Activation::DoubleClick ? TrayRules::Activation::DoubleClick : TrayRules::Activation::Click,
        Enabled, area_->reportsDoubleClicks());
    if (handler == TrayRules::Handler::OnDblClick && OnDblClick) OnDblClick();
    if (handler == TrayRules::Handler::OnClick && OnClick) OnClick();
}

TrayRules::Window TTrayIcon::windowState() const {
    if (!owner_.isVisible()) return TrayRules::Window::InTray;
    return owner_.isMinimized() ? TrayRules::Window::Minimized : TrayRules::Window::Shown;
}

void TTrayIcon::goTo(TrayRules::Window to) {
    switch (to) {
        case TrayRules::Window::Shown:
            // Restored from minimized, shown with its taskbar entry, in the foreground.
            if (owner_.isMinimized()) owner_.setWindowState(owner_.windowState() & ~Qt::WindowMinimized);
            // A Wayland client cannot take its window out of minimized (and a desktop
            // without a taskbar has no other way back): the window is shown anew, as
            // the compositor shows any new window.
            if (minimized_ && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) owner_.hide();
            minimized_ = false;
            owner_.show();
            owner_.raise();
            owner_.activateWindow();
            break;
        case TrayRules::Window::InTray:
            owner_.hide();
            break;
        case TrayRules::Window::Minimized:
            if (!owner_.isMinimized()) owner_.showMinimized();
            minimized_ = true;
            break;
    }
}

void TTrayIcon::ShowMainForm() {
    goTo(TrayRules::next(windowState(), TrayRules::Event::ShowMainForm, area_->available(), MinimizeToTray));
}

void TTrayIcon::HideMainForm() {
    goTo(TrayRules::next(windowState(), TrayRules::Event::HideMainForm, area_->available(), MinimizeToTray));
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &owner_ && event->type() == QEvent::WindowStateChange && owner_.isMinimized()) {
        minimized_ = true;
        const auto to = TrayRules::next(windowState(), TrayRules::Event::Minimized, area_->available(), MinimizeToTray);
        if (to == TrayRules::Window::InTray) {
            // Hidden once the window system has finished minimizing it; the icon stays.
            QTimer::singleShot(0, this, [this] {
                if (!owner_.isMinimized()) return;
                goTo(TrayRules::Window::InTray);
                setIconVisible(true);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tb
