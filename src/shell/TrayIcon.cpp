#include "TrayIcon.h"

#include <QAction>
#include <QMenu>

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent)
{}

TrayIcon::~TrayIcon() = default;

QMenu* TrayIcon::contextMenu()
{
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_toggleAction = m_menu->addAction(QString());
        connect(m_toggleAction, &QAction::triggered, this, &TrayIcon::clicked);
        m_menu->addSeparator();
        //: Context menu of the tray icon
        QAction* quit = m_menu->addAction(qtTrId("Quit Sondik"));
        connect(quit, &QAction::triggered, this, &TrayIcon::quitRequested);
        setWindowShown(m_windowShown);
    }
    return m_menu.get();
}

void TrayIcon::setWindowShown(bool shown)
{
    m_windowShown = shown;
    // The ids read as the English text where no translation has them.
    //: Context menu of the tray icon
    if (m_toggleAction)
        m_toggleAction->setText(shown ? qtTrId("Hide Sondik") : qtTrId("Show Sondik"));
}
