#include "network/NetworkStatus.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <pthread.h>

using Status = PathMonitor::Path::Status;

namespace {

// Stands in for the platform's monitor so a test decides exactly which paths
// arrive, and when, on a thread of the monitor's own.
class FakePathMonitor final : public PathMonitor {
public:
    struct Record {
        std::string queueLabel;
        std::atomic<bool> destroyed{false};
    };

    explicit FakePathMonitor(std::shared_ptr<Record> record, bool startSucceeds = true)
        : m_record(std::move(record))
        , m_startSucceeds(startSucceeds)
    {}

    ~FakePathMonitor() override
    {
        m_stop = true;
        if (m_stream.joinable())
            m_stream.join();
        m_record->destroyed = true;
    }

    bool start(const std::string& queueLabel, PathUpdateHandler handler) override
    {
        m_record->queueLabel = queueLabel;
        if (!m_startSucceeds)
            return false;
        m_handler = std::move(handler);
        return true;
    }

    std::string errorString() const override { return "no route socket in this test"; }

    // Delivers the paths one after the other on a thread named after the queue,
    // and returns once the last has been handed over.
    void deliver(const std::vector<Status>& statuses)
    {
        std::thread queue([this, statuses] {
            ::pthread_setname_np(::pthread_self(), m_record->queueLabel.c_str());
            for (Status status : statuses)
                m_handler(Path{status});
        });
        queue.join();
    }

    // Keeps delivering until destroyed.
    void deliverEndlessly()
    {
        m_stream = std::thread([this] {
            for (unsigned i = 0; !m_stop; ++i) {
                m_handler(Path{i % 2 ? Status::Satisfied : Status::Unsatisfied});
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
    }

private:
    std::shared_ptr<Record> m_record;
    bool m_startSucceeds;
    PathUpdateHandler m_handler;
    std::thread m_stream;
    std::atomic<bool> m_stop{false};
};

std::vector<bool> writtenValues(const QSignalSpy& spy)
{
    std::vector<bool> values;
    for (const QList<QVariant>& arguments : spy)
        values.push_back(arguments.at(0).toBool());
    return values;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Status>)
Q_DECLARE_METATYPE(std::vector<bool>)

class TestNetworkStatus : public QObject {
    Q_OBJECT

private slots:
    void startsPresentOnTheMonitorQueue()
    {
        auto record = std::make_shared<FakePathMonitor::Record>();
        NetworkStatus status(std::make_unique<FakePathMonitor>(record));
        QSignalSpy spy(&status, &NetworkStatus::missingConnectionChanged);

        QCOMPARE(record->queueLabel, std::string("Monitor"));
        QCOMPARE(status.missingConnection(), false);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
    }

    void writesOnTheOwnerThreadOnly()
    {
        auto record = std::make_shared<FakePathMonitor::Record>();
        auto monitor = std::make_unique<FakePathMonitor>(record);
        FakePathMonitor* fake = monitor.get();
        NetworkStatus status(std::move(monitor));
        QThread* writer = nullptr;
        connect(
            &status, &NetworkStatus::missingConnectionChanged, &status,
            [&writer] { writer = QThread::currentThread(); }, Qt::DirectConnection);

        fake->deliver({Status::Unsatisfied});
        // Handed over, not yet written: the write waits for this thread's loop.
        QCOMPARE(status.missingConnection(), false);
        QCOMPARE(writer, nullptr);

        QTRY_COMPARE(status.missingConnection(), true);
        QCOMPARE(writer, QThread::currentThread());
    }

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

        auto record = std::make_shared<FakePathMonitor::Record>();
        auto monitor = std::make_unique<FakePathMonitor>(record);
        FakePathMonitor* fake = monitor.get();
        NetworkStatus status(std::move(monitor));
        QSignalSpy spy(&status, &NetworkStatus::missingConnectionChanged);

        fake->deliver(paths);
        QTRY_COMPARE(spy.count(), qsizetype(writes.size()));
        QCOMPARE(writtenValues(spy), writes);
        QCOMPARE(status.missingConnection(), writes.back());
    }

    void monitorThatCannotStartLeavesConnectionPresent_data()
    {
        QTest::addColumn<bool>("hasMonitor");
        QTest::addColumn<QString>("logged");
        QTest::newRow("start fails") << true
                                     << "Network path monitoring is unavailable \\(no route "
                                        "socket in this test\\); the connection is taken to be "
                                        "present";
        QTest::newRow("no monitor") << false << "No network path monitor on this platform";
    }

    void monitorThatCannotStartLeavesConnectionPresent()
    {
        QFETCH(bool, hasMonitor);
        QFETCH(QString, logged);

        auto record = std::make_shared<FakePathMonitor::Record>();
        std::unique_ptr<PathMonitor> monitor;
        if (hasMonitor)
            monitor = std::make_unique<FakePathMonitor>(record, false);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(logged));
        NetworkStatus status(std::move(monitor));
        QSignalSpy spy(&status, &NetworkStatus::missingConnectionChanged);

        // A failed monitor is let go of at once rather than kept half-started.
        QCOMPARE(record->destroyed.load(), hasMonitor);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(status.missingConnection(), false);
    }

    void destroyedWhileUpdatesArrive()
    {
        for (int round = 0; round < 20; ++round) {
            auto record = std::make_shared<FakePathMonitor::Record>();
            auto monitor = std::make_unique<FakePathMonitor>(record);
            FakePathMonitor* fake = monitor.get();
            auto status = std::make_unique<NetworkStatus>(std::move(monitor));
            QSignalSpy spy(status.get(), &NetworkStatus::missingConnectionChanged);

            fake->deliverEndlessly();
            if (round % 2)
                QTRY_VERIFY(spy.count() > 0);
            // Updates still queued for the store must be dropped with it.
            status.reset();
            QVERIFY(record->destroyed);
            QCoreApplication::processEvents();
        }
    }
};

QTEST_GUILESS_MAIN(TestNetworkStatus)
#include "tst_networkstatus.moc"
