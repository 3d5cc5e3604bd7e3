#include "TrayStatusBarItem.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

TrayStatusBarItem::TrayStatusBarItem(QObject* parent)
    : StatusBarItem(parent)
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

TrayStatusBarItem::~TrayStatusBarItem()
{
    // The icon refers to the menu.
    m_trayIcon.reset();
}

bool TrayStatusBarItem::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QRect TrayStatusBarItem::geometry() const
{
    return m_trayIcon->geometry();
}

void TrayStatusBarItem::setToolTip(const QString& text)
{
    // Qt shows a tool tip as rich text when it finds something like a tag;
    // a song title from the network must show as it is. A word joiner after
    // each '<' makes no tag and shows nothing.
    QString plain = text;
    plain.replace(QLatin1Char('<'), QStringLiteral("<\u2060"));
    m_trayIcon->setToolTip(plain);
}
