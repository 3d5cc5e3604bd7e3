// NetworkStatus on a fake monitor. The real monitor, its thread and its failures are
// in tst_netlinkpathmonitor.
#include "FakePathMonitor.h"
#include "network/NetworkStatus.h"

#include <QTest>
#include <QThread>

using Status = PathMonitor::Path::Status;

class TestNetworkStatus : public QObject {
    Q_OBJECT

private slots:
    // Reports come from the monitor's thread; QML may only see the flag change
    // on this one, every report in order, a connection still to be established
    // counting as missing.
    void writesEveryReportOnItsOwnThread()
    {
        auto monitor = std::make_unique<FakePathMonitor>();
        FakePathMonitor* fake = monitor.get();
        NetworkStatus status(std::move(monitor));
        QByteArray written;
        connect(
            &status, &NetworkStatus::missingConnectionChanged, &status,
            [&](bool missing) {
                QCOMPARE(QThread::currentThread(), thread());
                written += missing ? '1' : '0';
            },
            Qt::DirectConnection);
        fake->deliver({Status::Unsatisfied, Status::Satisfied, Status::Satisfied,
                       Status::RequiresConnection, Status::Satisfied, Status::Unsatisfied});
        QVERIFY(written.isEmpty() && !status.missingConnection());
        QCoreApplication::processEvents();
        QCOMPARE(written, "100101");
        QVERIFY(status.missingConnection());
    }
};

QTEST_GUILESS_MAIN(TestNetworkStatus)
#include "tst_networkstatus.moc"
