#include "focus/FRWindowEventPublisher.h"
#include "focus/FirstResponder.h"

#include <QKeyEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

// What QML cannot see of the controller: the windows' publishers, and
// deletion before the event loop runs again. Also the Quick Test setup.
class Probe : public QObject {
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->rootContext()->setContextProperty(QStringLiteral("probe"), this);
    }

public:
    // Whether the field's controller is registered with the window's publisher.
    Q_INVOKABLE bool observes(QQuickWindow* window, QObject* field) const
    {
        const auto* observer = qobject_cast<const FrEventObserver*>(
            qmlAttachedPropertiesObject<FirstResponder>(field, false));
        const FRWindowEventPublisher* publisher = FRWindowEventPublisher::of(*window);
        return observer && publisher && publisher->holds(*observer);
    }
    // At once, not at the next turn of the event loop as destroy() does.
    Q_INVOKABLE void destroyNow(QObject* object) const { delete object; }
    // A key release through the window, then the object deleted before the
    // event loop runs again (Quick Test's own key functions run it).
    Q_INVOKABLE void releaseKeyAndDestroy(QQuickWindow* window, int key, QObject* object) const
    {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &release);
        delete object;
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_firstresponder, Probe)
#include "tst_firstresponder.moc"
