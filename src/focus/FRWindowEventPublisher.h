#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class FrEventObserver;
class QQuickWindow;

// The one event watcher of a window: a child of the window (so it dies with
// it) that filters the window's events and passes left-button presses and key
// releases to the observers registered with it, in registration order. It
// holds them weakly and never swallows or changes an event.
class FRWindowEventPublisher : public QObject {
    Q_OBJECT

public:
    // Creates the window's publisher on the first registration. Registering
    // an observer twice keeps one entry.
    static void registerObserver(QQuickWindow& window, FrEventObserver& observer);
    static void unregisterObserver(QQuickWindow& window, const FrEventObserver& observer);
    // The window's publisher, or null.
    static FRWindowEventPublisher* of(const QQuickWindow& window);

    bool holds(const FrEventObserver& observer) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FRWindowEventPublisher(QQuickWindow& window);

    QQuickWindow& m_window;
    QList<QPointer<FrEventObserver>> m_observers;
};
