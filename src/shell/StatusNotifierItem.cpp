#include "StatusNotifierItem.h"

#include "DBusMenuExporter.h"
#include "ShellLogging.h"
#include "WindowPlacement.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <chrono>

namespace {

const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QStringLiteral("/MenuBar");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
// A wheel notch as most hosts send it; some send 1 per notch.
constexpr int wheelNotch = 120;
// A full sweep of the volume in steps of 0.05; more says nothing more.
constexpr int maximumSteps = 20;
// How long after a registration the watcher is asked whether it kept it, and
// how many registrations are tried.
constexpr std::chrono::milliseconds listedCheckDelay{2000};
constexpr int maxRegistrations = 3;
// Long enough for a deactivation already under way to arrive.
constexpr std::chrono::milliseconds menuSettleTime{250};

StatusNotifierPixmaps pixmapsOf(const QIcon& icon)
{
    StatusNotifierPixmaps pixmaps;
    for (int size : {16, 22, 32, 48}) {
        const QImage image =
            icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            continue;
        StatusNotifierPixmap pixmap{image.width(), image.height(), {}};
        pixmap.data.resize(qsizetype(image.width()) * image.height() * 4);
        auto* out = reinterpret_cast<quint32*>(pixmap.data.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                *out++ = qToBigEndian(line[x]);
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}

// Any program on the bus can call with any point.
QPoint onScreens(int x, int y)
{
    return WindowPlacement::pointOnScreens(QPoint(x, y), WindowPlacement::desktopScreens());
}

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.data;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.data;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& toolTip)
{
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.pixmaps << toolTip.title << toolTip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& toolTip)
{
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.pixmaps >> toolTip.title >> toolTip.text;
    argument.endStructure();
    return argument;
}

StatusNotifierItem::StatusNotifierItem(QObject* parent)
    : TrayIcon(parent)
{
    qDBusRegisterMetaType<StatusNotifierPixmap>();
    qDBusRegisterMetaType<StatusNotifierPixmaps>();
    qDBusRegisterMetaType<StatusNotifierToolTip>();

    m_pixmaps = pixmapsOf(QIcon(QStringLiteral(":/icons/StatusBarIcon.svg")));
    // A panel asks for the menu while it has the focus, and our window that
    // the last click hid may not have lost it yet: the application's
    // deactivation then arriving closes the menu the moment it opened (Qt
    // closes every popup on it). The menu opens again, once; the user's own
    // Escape or click, with the application active, is left alone.
    connect(contextMenu(), &QMenu::aboutToHide, this, [this] {
        if (m_menuSettling.hasExpired() ||
            QGuiApplication::applicationState() == Qt::ApplicationActive)
            return;
        m_menuSettling = QDeadlineTimer();
        QTimer::singleShot(0, this, [this] { contextMenu()->popup(m_menuPoint); });
    });

    QDBusConnection bus = QDBusConnection::sessionBus();
    m_menuExporter = std::make_unique<DBusMenuExporter>(contextMenu());
    // The name other programs register their items under.
    static int instances = 0;
    m_serviceName = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(++instances);
    const char* failure = nullptr;
    if (!bus.registerObject(menuPath, m_menuExporter.get(),
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties))
        failure = "the menu's object path is taken";
    else if (!bus.registerObject(itemPath, this,
                                 QDBusConnection::ExportScriptableContents |
                                     QDBusConnection::ExportAllProperties))
        failure = "the item's object path is taken";
    else if (!bus.registerService(m_serviceName))
        failure = "the bus name cannot be had";
    m_exported = !failure;
    if (!m_exported) {
        // A panel could not reach an icon registered without them.
        qCWarning(lcShell) << "The tray icon cannot be put on the session bus:" << failure;
        unexport();
        return;
    }

    // A panel that restarts brings a new watcher: register again.
    m_watcherWatcher = std::make_unique<QDBusServiceWatcher>(
        QLatin1String(watcherService), bus, QDBusServiceWatcher::WatchForRegistration);
    connect(m_watcherWatcher.get(), &QDBusServiceWatcher::serviceRegistered, this,
            &StatusNotifierItem::registerWithWatcher);
    registerWithWatcher();
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (m_exported)
        unexport();
}

void StatusNotifierItem::unexport()
{
    // Only what is this object's: a path can be another item's.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.objectRegisteredAt(itemPath) == this)
        bus.unregisterObject(itemPath);
    if (bus.objectRegisteredAt(menuPath) == m_menuExporter.get())
        bus.unregisterObject(menuPath);
    bus.unregisterService(m_serviceName);
}

bool StatusNotifierItem::watcherRunning()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(QLatin1String(watcherService)).value();
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(watcherService), watcherPath, QLatin1String(watcherService),
        QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    auto* pending = new QDBusPendingCallWatcher( // deletes itself below
        QDBusConnection::sessionBus().asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                if (watcher->isError()) {
                    qCWarning(lcShell)
                        << "The tray's watcher refused the icon:" << watcher->error().message();
                    return;
                }
                m_registered = true;
                QTimer::singleShot(listedCheckDelay, this, &StatusNotifierItem::checkListed);
            });
}

void StatusNotifierItem::checkListed()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QLatin1String(watcherService), watcherPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QLatin1String(watcherService) << QStringLiteral("RegisteredStatusNotifierItems");
    auto* pending = new QDBusPendingCallWatcher( // deletes itself below
        QDBusConnection::sessionBus().asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *watcher;
                if (reply.isError())
                    return; // a watcher that does not tell: trust it
                const QStringList items = reply.value().variant().toStringList();
                const QString uniqueName = QDBusConnection::sessionBus().baseService();
                for (const QString& item : items) {
                    if (item.startsWith(m_serviceName) || item.startsWith(uniqueName))
                        return;
                }
                if (++m_registrations >= maxRegistrations)
                    return;
                qCInfo(lcShell) << "The tray's watcher does not list the icon: registering again";
                registerWithWatcher();
            });
}

QRect StatusNotifierItem::geometry() const
{
    // Hosts report only where they were clicked: that point stands for the
    // icon. Before any click the placement guesses from the pointer.
    return m_activated ? QRect(m_activatedAt, QSize(1, 1)) : QRect();
}

QString StatusNotifierItem::id() const
{
    return QStringLiteral(SONDIK_APP_ID);
}

QString StatusNotifierItem::iconName() const
{
    // Installed in the hicolor theme under the application's id.
    return QStringLiteral(SONDIK_APP_ID);
}

void StatusNotifierItem::setToolTip(const QString& text)
{
    if (text == m_toolTip)
        return;
    m_toolTip = text;
    emit NewToolTip();
}

StatusNotifierToolTip StatusNotifierItem::toolTip() const
{
    // In the title, which hosts show as plain text; the description is read as
    // markup, and a song title from the network must show as it is.
    return {iconName(), {}, m_toolTip, QString()};
}

QDBusObjectPath StatusNotifierItem::menu() const
{
    return QDBusObjectPath(menuPath);
}

void StatusNotifierItem::Activate(int x, int y)
{
    m_activatedAt = onScreens(x, y);
    m_activated = true;
    emit clicked();
}

void StatusNotifierItem::SecondaryActivate(int, int)
{
    emit playPauseRequested();
}

void StatusNotifierItem::ContextMenu(int x, int y)
{
    m_menuPoint = onScreens(x, y);
    contextMenu()->popup(m_menuPoint);
    // From the moment it shows: a first menu can take a while to build.
    m_menuSettling = QDeadlineTimer(menuSettleTime);
}

void StatusNotifierItem::Scroll(int delta, const QString& orientation)
{
    if (orientation.compare(QLatin1String("vertical"), Qt::CaseInsensitive) != 0 || delta == 0)
        return;
    // Whole notches, or one step from hosts that count finer; safe for any int.
    const int steps = delta >= wheelNotch || delta <= -wheelNotch ? delta / wheelNotch
                      : delta > 0                                 ? 1
                                                                  : -1;
    emit volumeStepped(std::clamp(steps, -maximumSteps, maximumSteps));
}
