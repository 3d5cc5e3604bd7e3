#include "StatusBarItem.h"

#include <QAction>
#include <QMenu>

StatusBarItem::StatusBarItem(QObject* parent)
    : QObject(parent)
{}

StatusBarItem::~StatusBarItem() = default;

QMenu* StatusBarItem::contextMenu()
{
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_toggleAction = m_menu->addAction(QString());
        connect(m_toggleAction, &QAction::triggered, this, &StatusBarItem::clicked);
        m_menu->addSeparator();
        //: Context menu of the tray icon
        QAction* quit = m_menu->addAction(qtTrId("Quit Sondik"));
        connect(quit, &QAction::triggered, this, &StatusBarItem::quitRequested);
        setWindowShown(m_windowShown);
    }
    return m_menu.get();
}

void StatusBarItem::setWindowShown(bool shown)
{
    m_windowShown = shown;
    // The ids read as the English text where no translation has them.
    //: Context menu of the tray icon
    if (m_toggleAction)
        m_toggleAction->setText(shown ? qtTrId("Hide Sondik") : qtTrId("Show Sondik"));
}
