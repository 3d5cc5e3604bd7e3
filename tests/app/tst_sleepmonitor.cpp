// SleepMonitor on a private bus of the test's own, standing in for the system
// bus, on which the test plays logind.
#include "app/SleepMonitor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSleepMonitor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void followsLogind();
    void ignoresOtherSenders();
    void absentWithoutLogind();
    void absentWithoutBus();

private:
    static QDBusMessage prepareForSleep(bool sleeping);

    QTemporaryDir m_dir;
    QProcess m_bus;
    QString m_address;
};

QDBusMessage TestSleepMonitor::prepareForSleep(bool sleeping)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << sleeping;
    return signal;
}

void TestSleepMonitor::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile config(m_dir.filePath("bus.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=)" +
                 m_dir.filePath("system_bus_socket").toUtf8() +
                 R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)");
    config.close();
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
    QVERIFY2(m_bus.waitForStarted(10000), qPrintable(m_bus.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine() || m_bus.state() != QProcess::Running, 20000);
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QVERIFY2(!m_address.isEmpty(), m_bus.readAllStandardError().constData());
    // The monitor's default bus is this one.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
}

void TestSleepMonitor::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished(10000);
}

void TestSleepMonitor::followsLogind()
{
    QDBusConnection logind = QDBusConnection::connectToBus(m_address, "logind");
    QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));

    SleepMonitor monitor; // on the system bus, which is the test's
    QVERIFY(monitor.isWatching());
    QSignalSpy spy(&monitor, &SleepMonitor::prepareForSleep);
    QVERIFY(logind.send(prepareForSleep(true)));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 20000);
    QVERIFY(logind.send(prepareForSleep(false)));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 20000);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);

    QVERIFY(logind.unregisterService(QStringLiteral("org.freedesktop.login1")));
    QDBusConnection::disconnectFromBus("logind");
}

void TestSleepMonitor::ignoresOtherSenders()
{
    QDBusConnection logind = QDBusConnection::connectToBus(m_address, "logind");
    QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
    QDBusConnection impostor = QDBusConnection::connectToBus(m_address, "impostor");
    QVERIFY(impostor.isConnected());

    SleepMonitor monitor(QDBusConnection::connectToBus(m_address, "monitor"));
    QVERIFY(monitor.isWatching());
    QSignalSpy spy(&monitor, &SleepMonitor::prepareForSleep);
    QVERIFY(impostor.send(prepareForSleep(true)));
    // A round trip: the bus has routed the impostor's signal before it answers.
    QVERIFY(impostor.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1")));
    QVERIFY(logind.send(prepareForSleep(false)));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 20000);
    QCOMPARE(spy.at(0).at(0).toBool(), false);

    QVERIFY(logind.unregisterService(QStringLiteral("org.freedesktop.login1")));
    QDBusConnection::disconnectFromBus("logind");
    QDBusConnection::disconnectFromBus("impostor");
    QDBusConnection::disconnectFromBus("monitor");
}

void TestSleepMonitor::absentWithoutLogind()
{
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("No logind on the system bus"));
    SleepMonitor monitor(QDBusConnection::connectToBus(m_address, "bare"));
    QVERIFY(!monitor.isWatching());
    QDBusConnection::disconnectFromBus("bare");
}

void TestSleepMonitor::absentWithoutBus()
{
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("No system bus"));
    SleepMonitor monitor(
        QDBusConnection::connectToBus("unix:path=" + m_dir.filePath("no-bus-here"), "none"));
    QVERIFY(!monitor.isWatching());
    QDBusConnection::disconnectFromBus("none");
}

QTEST_GUILESS_MAIN(TestSleepMonitor)
#include "tst_sleepmonitor.moc"
