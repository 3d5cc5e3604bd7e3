#include "FRWindowEventPublisher.h"

#include "FrEventObserver.h"

#include <QMouseEvent>
#include <QQuickWindow>

#include <algorithm>

FRWindowEventPublisher::FRWindowEventPublisher(QQuickWindow& window)
    : QObject(&window)
    , m_window(window)
{
    window.installEventFilter(this);
}

FRWindowEventPublisher* FRWindowEventPublisher::of(const QQuickWindow& window)
{
    return window.findChild<FRWindowEventPublisher*>(QString(), Qt::FindDirectChildrenOnly);
}

void FRWindowEventPublisher::registerObserver(QQuickWindow& window, FrEventObserver& observer)
{
    FRWindowEventPublisher* publisher = of(window);
    if (!publisher)
        publisher = new FRWindowEventPublisher(window); // owned by the window
    if (!publisher->holds(observer))
        publisher->m_observers.append(&observer);
}

bool FRWindowEventPublisher::holds(const FrEventObserver& observer) const
{
    return std::any_of(m_observers.cbegin(), m_observers.cend(),
                       [&](const auto& entry) { return entry == &observer; });
}

void FRWindowEventPublisher::unregisterObserver(QQuickWindow& window,
                                                const FrEventObserver& observer)
{
    if (FRWindowEventPublisher* publisher = of(window))
        publisher->m_observers.removeIf([&](const auto& entry) { return entry == &observer; });
}

bool FRWindowEventPublisher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    const bool leftPress = event->type() == QEvent::MouseButtonPress &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (!leftPress && event->type() != QEvent::KeyRelease)
        return false;

    // An observer may register or unregister others while it receives.
    const QList<QPointer<FrEventObserver>> observers = m_observers;
    bool sawDead = false;
    for (const QPointer<FrEventObserver>& observer : observers) {
        if (observer)
            observer->receive(m_window, *event);
        else
            sawDead = true;
    }
    if (sawDead)
        m_observers.removeIf([](const auto& entry) { return entry.isNull(); });
    return false;
}
