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
    void writesEveryUpdateInOrder_data()
    {
        QTest::addColumn<QByteArray>("paths");  // Satisfied, Unsatisfied, RequiresConnection
        QTest::addColumn<QByteArray>("writes"); // 1: missing
        QTest::newRow("offline at start") << QByteArray("U") << QByteArray("1");
        QTest::newRow("unchanged still notifies") << QByteArray("SSS") << QByteArray("000");
        QTest::newRow("lost and regained") << QByteArray("SUUS") << QByteArray("0110");
        QTest::newRow("connection still to be established counts as missing")
            << QByteArray("SR") << QByteArray("01");
    }

    void writesEveryUpdateInOrder()
    {
        QFETCH(QByteArray, paths);
        QFETCH(QByteArray, writes);
        auto monitor = std::make_unique<FakePathMonitor>();
        FakePathMonitor* fake = monitor.get();
        NetworkStatus status(std::move(monitor));
        QCOMPARE(fake->label, std::string("Monitor"));
        QByteArray written;
        bool offThread = false;
        connect(
            &status, &NetworkStatus::missingConnectionChanged, &status,
            [&](bool missing) {
                offThread |= QThread::currentThread() != thread();
                written += missing ? '1' : '0';
            },
            Qt::DirectConnection);

        std::vector<Status> statuses;
        for (char path : paths)
            statuses.push_back(path == 'S'   ? Status::Satisfied
                               : path == 'U' ? Status::Unsatisfied
                                             : Status::RequiresConnection);
        fake->deliver(statuses);
        // Handed over, not yet written: the writes wait for this thread's loop,
        // which takes every one already posted in one pass.
        QVERIFY(written.isEmpty() && !status.missingConnection());
        QCoreApplication::processEvents();
        QCOMPARE(written, writes);
        QVERIFY(!offThread);
        QCOMPARE(status.missingConnection(), writes.endsWith('1'));
    }
};

QTEST_GUILESS_MAIN(TestNetworkStatus)
#include "tst_networkstatus.moc"
