// SleepMonitor on a private bus (run under dbus-run-session) standing in for
// the system bus, on which the test plays logind.
#include "desktop/SleepMonitor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

namespace {

QDBusMessage prepareForSleep(bool sleeping)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << sleeping;
    return signal;
}

} // namespace

class TestSleepMonitor : public QObject {
    Q_OBJECT

    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");

private slots:
    void followsLogindOnly()
    {
        QVERIFY2(!address.isEmpty(), "run under dbus-run-session");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
        QDBusConnection logind = QDBusConnection::connectToBus(address, "logind");
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        QDBusConnection impostor = QDBusConnection::connectToBus(address, "impostor");

        SleepMonitor monitor; // on the system bus, which is the test's
        QVERIFY(monitor.isWatching());
        QSignalSpy spy(&monitor, &SleepMonitor::prepareForSleep);
        QVERIFY(impostor.send(prepareForSleep(true)));
        // A round trip: the bus has routed the impostor's signal before it answers.
        QVERIFY(
            impostor.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1")));
        QVERIFY(logind.send(prepareForSleep(false)));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 20000);
        QVERIFY(logind.send(prepareForSleep(true)));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 20000);
        QCOMPARE(spy, (QList<QVariantList>{{false}, {true}}));
    }
};

QTEST_GUILESS_MAIN(TestSleepMonitor)
#include "tst_sleepmonitor.moc"
