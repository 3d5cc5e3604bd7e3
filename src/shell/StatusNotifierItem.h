#pragma once

#include "TrayIcon.h"

#include <QByteArray>
#include <QDBusArgument>
#include <QDeadlineTimer>
#include <QList>
#include <QPoint>
#include <QString>

#include <memory>

class DBusMenuExporter;
class QDBusServiceWatcher;
class QMenu;

// One icon image for hosts that cannot look a name up: (iiay), ARGB32 in
// network byte order.
struct StatusNotifierPixmap {
    int width = 0;
    int height = 0;
    QByteArray data;
};
Q_DECLARE_METATYPE(StatusNotifierPixmap)
using StatusNotifierPixmaps = QList<StatusNotifierPixmap>;

// (sa(iiay)ss): icon name, icon images, title, text.
struct StatusNotifierToolTip {
    QString iconName;
    StatusNotifierPixmaps pixmaps;
    QString title;
    QString text;
};
Q_DECLARE_METATYPE(StatusNotifierToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& toolTip);

// The icon as an org.kde.StatusNotifierItem on the session bus, registered
// with the desktop's org.kde.StatusNotifierWatcher (KDE Plasma, swaybar, the
// GNOME AppIndicator extension). Unlike Qt's tray icon it passes on where the
// host was clicked, the middle click and the wheel.
class StatusNotifierItem : public TrayIcon {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QList<StatusNotifierPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(StatusNotifierToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    static constexpr const char* watcherService = "org.kde.StatusNotifierWatcher";

    explicit StatusNotifierItem(QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Whether a watcher is on the session bus to register with.
    static bool watcherRunning();

    // Whether the item and its menu are on the bus under their name; a panel
    // can show nothing of an item that is not.
    bool isExported() const { return m_exported; }

    bool isAvailable() const override { return m_registered; }
    QRect geometry() const override;
    void setToolTip(const QString& text) override;

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const;
    QString title() const { return QStringLiteral("Sondik"); }
    QString status() const { return QStringLiteral("Active"); }
    QString iconName() const;
    StatusNotifierPixmaps iconPixmap() const { return m_pixmaps; }
    StatusNotifierToolTip toolTip() const;
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const;

public slots:
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

signals:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);

private:
    void registerWithWatcher();
    // Registers again while the watcher does not list the item: a watcher
    // that is still starting (GNOME's extension, at login) can accept a
    // registration and drop it.
    void checkListed();
    void unexport();

    std::unique_ptr<DBusMenuExporter> m_menuExporter;
    std::unique_ptr<QDBusServiceWatcher> m_watcherWatcher;
    QString m_serviceName;
    StatusNotifierPixmaps m_pixmaps;
    QString m_toolTip;
    QPoint m_activatedAt;
    bool m_activated = false;
    bool m_registered = false;
    int m_registrations = 0;
    bool m_exported = false;
    // While the menu opened at a panel's request settles: see the constructor.
    QDeadlineTimer m_menuSettling;
    QPoint m_menuPoint;
};
