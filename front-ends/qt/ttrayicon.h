#pragma once

#include "core/desktop/tray_rules.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace tb {

// The notification area as the tray icon sees it: whether there is one now, the icon
// in it and what the user does to the icon.
class TrayArea {
public:
    enum class Activation { Click, DoubleClick };

    virtual ~TrayArea() = default;
    // A notification area takes icons now (a panel may start or stop at any time).
    virtual bool available() const = 0;
    // StatusNotifierItem hosts report activations but never a double click.
    virtual bool reportsDoubleClicks() const = 0;
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // The menu that opens on the right button.
    virtual void setMenu(QMenu* menu) = 0;
    virtual void setVisible(bool visible) = 0;

    std::function<void(Activation)> onActivated;
};

// Qt's tray icon: a StatusNotifierItem where the desktop hosts them, an XEmbed icon in
// an X11 panel otherwise. Qt docks the icon again when a panel restarts.
std::unique_ptr<TrayArea> makeSystemTrayArea();

// The program's icon in the notification area: its tooltip, its menu on the right
// button, a double click that brings the main window back, and minimize to tray.
// Without a notification area the main window is never hidden: minimizing stays an
// ordinary minimize and HideMainForm minimizes it, so the user is never stranded.
class TTrayIcon final : public QObject {
    Q_OBJECT

public:
    TTrayIcon(QWidget& owner, std::unique_ptr<TrayArea> area);
    ~TTrayIcon() override;

    QString Hint() const { return hint_; }
    void setHint(const QString& hint);
    void setHint(const std::string& hint) { setHint(QString::fromStdString(hint)); }
    bool ShowHint() const { return showHint_; }
    void setShowHint(bool show);
    QIcon Icon() const { return icon_; }
    void setIcon(const QIcon& icon);
    bool IconVisible() const { return iconVisible_; }
    void setIconVisible(bool visible);
    QMenu* PopupMenu() const { return popupMenu_; }
    void setPopupMenu(QMenu* menu);
    bool MinimizeToTray = false;
    bool Enabled = true;

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // Brings the main window back: restored from minimized, shown with its taskbar entry
    // and made the foreground window.
    void ShowMainForm();
    // Hides the main window and its taskbar entry without minimizing it.
    void HideMainForm();

    TrayArea& area() { return *area_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activated(TrayArea::Activation how);
    void updateToolTip();
    TrayRules::Window windowState() const;
    void goTo(TrayRules::Window to);

    QWidget& owner_;
    std::unique_ptr<TrayArea> area_;
    QString hint_;
    bool showHint_ = true;
    QIcon icon_;
    bool iconVisible_ = false;
    // Minimized since it was last shown: under Wayland the window system never says
    // whether the window is still minimized.
    bool minimized_ = false;
    QPointer<QMenu> popupMenu_;
};

}  // namespace tb
