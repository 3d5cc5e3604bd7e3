#include "SystemTrayIcon.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

SystemTrayIcon::SystemTrayIcon(QObject* parent)
    : TrayIcon(parent)
    , m_trayIcon(std::make_unique<QSystemTrayIcon>())
{
    m_trayIcon->setIcon(QIcon(QStringLiteral(":/icons/StatusBarIcon.svg")));
    m_trayIcon->setToolTip(QStringLiteral("Sondik"));
    m_trayIcon->setContextMenu(contextMenu());
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Every press is a click: the second press of a quick pair
                // arrives as a double click only, and the user meant it.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick ||
                    reason == QSystemTrayIcon::MiddleClick)
                    emit clicked();
            });
    m_trayIcon->show();
}

SystemTrayIcon::~SystemTrayIcon()
{
    // The icon refers to the menu.
    m_trayIcon.reset();
}

bool SystemTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QRect SystemTrayIcon::geometry() const
{
    return m_trayIcon->geometry();
}

void SystemTrayIcon::setToolTip(const QString& text)
{
    // Qt shows a tool tip as rich text when it finds something like a tag;
    // a song title from the network must show as it is. A word joiner after
    // each '<' makes no tag and shows nothing.
    QString plain = text;
    plain.replace(QLatin1Char('<'), QStringLiteral("<\u2060"));
    m_trayIcon->setToolTip(plain);
}
