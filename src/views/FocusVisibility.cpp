#include "FocusVisibility.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

FocusVisibility::FocusVisibility(QObject* parent)
    : QObject(parent)
{
    // Every window's input, seen once before it is delivered.
    QCoreApplication::instance()->installEventFilter(this);
}

bool FocusVisibility::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        setShown(true);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        setShown(false);
        break;
    case QEvent::Hide:
        if (watched->isWindowType())
            setShown(false);
        break;
    default:
        break;
    }
    return false;
}

void FocusVisibility::setShown(bool shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    emit shownChanged();
}
