#include "FocusVisibility.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

FocusVisibility::FocusVisibility(QObject* parent)
    : QObject(parent)
{
    // Keys go to the focus window, and a window takes the focus before its
    // input matters: watch each window once it has it, not every event of
    // the application (the media player's included).
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &FocusVisibility::watch);
    watch(QGuiApplication::focusWindow());
}

void FocusVisibility::watch(QWindow* window)
{
    if (!window || m_watched.contains(window))
        return;
    m_watched.append(window);
    window->installEventFilter(this);
}

bool FocusVisibility::eventFilter(QObject*, QEvent* event)
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
