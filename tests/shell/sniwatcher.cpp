// A StatusNotifierItem panel for the end-to-end test: owns
// org.kde.StatusNotifierWatcher on the session bus, says "ready" once it
// does, and prints "registered SENDER SERVICE" for each item that registers.
// The test then talks to the item itself with gdbus.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>

#include <cstdio>

class Watcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public slots:
    void RegisterStatusNotifierItem(const QString& service)
    {
        std::printf("registered %s %s\n", qPrintable(message().service()), qPrintable(service));
        std::fflush(stdout);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    Watcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "could not own the watcher name\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}

#include "sniwatcher.moc"
