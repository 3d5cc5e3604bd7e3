#pragma once

#include <QObject>

class QEvent;
class QQuickWindow;

// Receives the mouse presses and key releases of the window it is registered
// with, before the window handles them. Must not consume or change them.
class FrEventObserver : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void receive(QQuickWindow& window, const QEvent& event) = 0;
};
