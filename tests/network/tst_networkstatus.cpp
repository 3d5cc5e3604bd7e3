// NetworkStatus on a fake monitor. The real monitor, its thread and its failures are
// in tst_netlinkpathmonitor.
#include "FakePathMonitor.h"
#include "network/NetworkStatus.h"

#include <QTest>
#include <QThread>

using Status = PathMonitor::Path::Status;

Q_DECLARE_METATYPE(std::vector<Status>)
Q_DECLARE_METATYPE(std::vector<bool>)

class TestNetworkStatus : public QObject {
    Q_OBJECT

private slots:
    void writesEveryUpdateInOrder_data()
    {
        QTest::addColumn<std::vector<Status>>("paths");
        QTest::addColumn<std::vector<bool>>("writes");

        QTest::newRow("offline at start") << std::vector{Status::Unsatisfied} //
                                          << std::vector{true};
        QTest::newRow("unchanged still notifies")
            << std::vector{Status::Satisfied, Status::Satisfied, Status::Satisfied}
            << std::vector{false, false, false};
        QTest::newRow("lost and regained") << std::vector{Status::Satisfied, Status::Unsatisfied,
                                                          Status::Unsatisfied, Status::Satisfied}
                                           << std::vector{false, true, true, false};
        QTest::newRow("connection still to be established counts as missing")
            << std::vector{Status::Satisfied, Status::RequiresConnection}
            << std::vector{false, true};

        std::vector<Status> burst;
        std::vector<bool> burstWrites;
        for (int i = 0; i < 1000; ++i) {
            const bool satisfied = (i * 7) % 3 == 0;
            burst.push_back(satisfied ? Status::Satisfied : Status::Unsatisfied);
            burstWrites.push_back(!satisfied);
        }
        QTest::newRow("long burst keeps its order") << burst << burstWrites;
    }

    void writesEveryUpdateInOrder()
    {
        QFETCH(std::vector<Status>, paths);
        QFETCH(std::vector<bool>, writes);
        auto monitor = std::make_unique<FakePathMonitor>();
        FakePathMonitor* fake = monitor.get();
        NetworkStatus status(std::move(monitor));
        QCOMPARE(fake->label, std::string("Monitor"));
        std::vector<bool> written;
        bool offThread = false;
        connect(
            &status, &NetworkStatus::missingConnectionChanged, &status,
            [&](bool missing) {
                offThread |= QThread::currentThread() != thread();
                written.push_back(missing);
            },
            Qt::DirectConnection);

        fake->deliver(paths);
        // Handed over, not yet written: the writes wait for this thread's loop.
        QCOMPARE(status.missingConnection(), false);
        QVERIFY(written.empty());
        QTRY_COMPARE(written.size(), writes.size());
        QCOMPARE(written, writes);
        QVERIFY(!offThread);
        QCOMPARE(status.missingConnection(), writes.back());
    }
};

QTEST_GUILESS_MAIN(TestNetworkStatus)
#include "tst_networkstatus.moc"
