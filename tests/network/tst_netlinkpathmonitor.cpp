#include "IpBatch.h"
#include "network/NetlinkPathMonitor.h"
#include "network/NetworkStatus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <net/if.h>
#include <pthread.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

// Every case runs in a network namespace of its own, entered by the test's
// main thread (which starts the monitors and the `ip` commands), so nothing
// here touches the machine's real interfaces. The namespace goes away with the
// last socket in it.

namespace {

// Veth pairs whose far ends are up: sa0 (10.0.0.1/24) to sb0, sa1 (10.1.0.1/24) to sb1.
QStringList veth(int n)
{
    return QStringLiteral("link add sa%1 type veth peer name sb%1;link set sa%1 up;"
                          "link set sb%1 up;addr add 10.%1.0.1/24 dev sa%1")
        .arg(n)
        .split(';');
}

const QStringList routed = veth(0) << "route add default via 10.0.0.2";

int monitorThreads()
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        count += comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "Monitor";
    }
    return count;
}

// Messages dropped on full route sockets in the current namespace.
qint64 routeSocketDrops()
{
    QFile table(QStringLiteral("/proc/net/netlink"));
    if (!table.open(QIODevice::ReadOnly))
        return -1;
    qint64 drops = 0;
    for (const QByteArray& line : table.readAll().split('\n').mid(1)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 9 && fields.at(1) == "0")
            drops += fields.at(8).toLongLong();
    }
    return drops;
}

// Waits until more than `before` values have been written, the last says
// `missing`, and nothing more has come for a while: a monitor that misses a
// change would settle on something else, or keep going.
bool settles(const QSignalSpy& spy, qsizetype before, bool missing)
{
    QElapsedTimer total, quiet;
    total.start();
    quiet.start();
    qsizetype seen = spy.count();
    while (total.elapsed() < 15000) {
        QTest::qWait(20);
        if (spy.count() != seen) {
            seen = spy.count();
            quiet.restart();
        }
        if (seen > before && spy.last().at(0).toBool() == missing && quiet.elapsed() >= 300)
            return true;
    }
    return false;
}

QStringList flaps(int count)
{
    QStringList commands;
    for (int i = 0; i < count; ++i)
        commands << (i % 2 ? "link set sb0 up" : "link set sb0 down");
    return commands;
}

// The paths a handler has seen (true: satisfied), and whether each came on
// the thread named after the monitor's queue.
struct Deliveries {
    std::mutex mutex;
    std::vector<bool> satisfied;
    std::atomic<bool> onMonitorThread = true;

    void add(const PathMonitor::Path& path)
    {
        char name[16] = {};
        ::pthread_getname_np(::pthread_self(), name, sizeof name);
        onMonitorThread = onMonitorThread && qstrcmp(name, "Monitor") == 0;
        std::lock_guard lock(mutex);
        satisfied.push_back(path.status == PathMonitor::Path::Status::Satisfied);
    }
    std::vector<bool> all()
    {
        std::lock_guard lock(mutex);
        return satisfied;
    }
    bool lastIs(bool value) { return !all().empty() && all().back() == value; }
};

} // namespace

class TestNetlinkPathMonitor : public QObject {
    Q_OBJECT

private slots:
    // A fresh namespace for every case: only loopback, brought up.
    void init()
    {
        if (::geteuid() != 0)
            QSKIP("Needs root to create network namespaces");
        if (::unshare(CLONE_NEWNET) != 0)
            QSKIP(qPrintable(QStringLiteral("Network namespaces are unavailable: ") +
                             QString::fromLocal8Bit(std::strerror(errno))));
        IP({"link set lo up"});
        const IpBatch links({"link show"});
        QVERIFY2(links.ok, qPrintable(links.output));
        static const QRegularExpression linkLine(QStringLiteral("^\\d+: "),
                                                 QRegularExpression::MultilineOption);
        QCOMPARE(links.output.count(linkLine), 1); // commands run in here, too
    }

    // Each step: `ip` commands separated by ";" (veth0, veth1 and routed
    // stand for those above), then what the monitor must settle on.
    void followsTheKernel_data()
    {
        QTest::addColumn<QStringList>("steps");
        const QString flapped = flaps(20).join(';');
        QTest::newRow("only loopback")
            << QStringList{" -> missing", "route add default dev lo -> missing"};
        QTest::newRow("ipv4 default route") << QStringList{
            "veth0 -> missing",
            "route add default via 10.0.0.2 -> present", // the kernel picks the interface
            "link set sb0 down -> missing",              // carrier lost
            "link set sb0 up -> present",
            "link set sa0 down -> missing", // drops its routes without a route message
            "link set sa0 up -> missing",
            "route add default via 10.0.0.2 dev sa0 -> present",
            "route del default -> missing"};
        QTest::newRow("dormant link") << QStringList{
            "link add sa0 type veth peer name sb0;link set sa0 mode dormant;link set sa0 up;"
            "link set sb0 up;addr add 10.0.0.1/24 dev sa0;route add default via 10.0.0.2"
            " -> missing",
            "link set sa0 mode default;link set sa0 down;link set sa0 up;"
            "route add default via 10.0.0.2 -> present"};
        QTest::newRow("address removed")
            << QStringList{"routed -> present", "addr del 10.0.0.1/24 dev sa0 -> missing"};
        QTest::newRow("ipv6 default route alone") << QStringList{
            "link add sa0 type veth peer name sb0;link set sa0 up;link set sb0 up;"
            "addr add fd00::1/64 dev sa0 nodad -> missing",
            "route add default via fd00::2 -> present", "link set sb0 down -> missing",
            "link set sb0 up -> present", "route del ::/0 -> missing"};
        QTest::newRow("multipath") << QStringList{
            "veth0;veth1;route add default nexthop via 10.0.0.2 nexthop via 10.1.0.2 -> present",
            "link set sb0 down -> present", "link set sb1 down -> missing",
            "link set sb0 up -> present"};
        QTest::newRow("not the main table, not unicast") << QStringList{
            "veth0;route add default via 10.0.0.2 table 100 -> missing",
            "route add unreachable default -> missing",
            "route del unreachable default;route add default via 10.0.0.2 -> present"};
        QTest::newRow("nexthop objects")
            << QStringList{"veth0;veth1;nexthop add id 1 via 10.0.0.2 dev sa0;"
                           "nexthop add id 2 via 10.1.0.2 dev sa1;nexthop add id 10 group 1/2;"
                           "route add default nhid 10 -> present",
                           "link set sb0 down -> present", "link set sb1 down -> missing"};
        QTest::newRow("quick flaps, ending up")
            << QStringList{"routed -> present", flapped + " -> present"};
        QTest::newRow("quick flaps, ending down")
            << QStringList{"routed -> present", flapped + ";link set sb0 down -> missing"};
    }

    void followsTheKernel()
    {
        QFETCH(QStringList, steps);
        if (steps.join(';').contains("nexthop add")) {
            // Without compatibility mode, routes name only their nexthop object.
            QFile compat(QStringLiteral("/proc/sys/net/ipv4/nexthop_compat_mode"));
            if (!compat.open(QIODevice::WriteOnly) || compat.write("0\n") != 2)
                QSKIP("This kernel has no nexthop objects");
        }

        NetworkStatus status;
        QSignalSpy spy(&status, &NetworkStatus::missingConnectionChanged);
        bool offThread = false;
        connect(
            &status, &NetworkStatus::missingConnectionChanged, &status,
            [&] { offThread |= QThread::currentThread() != thread(); }, Qt::DirectConnection);
        QCOMPARE(status.missingConnection(), false);
        QTRY_COMPARE(monitorThreads(), 1);

        qsizetype before = 0;
        for (const QString& step : std::as_const(steps)) {
            const QString commands = step.section(" -> ", 0, 0);
            const QString settled = step.section(" -> ", 1);
            QVERIFY(settled == "missing" || settled == "present");
            const bool missing = settled == "missing";
            QStringList commandList;
            for (const QString& command : commands.split(';', Qt::SkipEmptyParts))
                commandList << (command == "routed"  ? routed
                                : command == "veth0" ? veth(0)
                                : command == "veth1" ? veth(1)
                                                     : QStringList{command});
            if (!commandList.isEmpty())
                IP(commandList);
            QVERIFY2(settles(spy, before, missing), qPrintable(step));
            QCOMPARE(status.missingConnection(), missing);
            before = spy.count();
        }
        QVERIFY(!offThread);
    }

    // A burst larger than the socket's buffer loses notifications; the monitor
    // must notice the overrun and read the state again.
    void overrunReadsAgain()
    {
        // IPv4 alone: no late address or router messages to cover for a lost one.
        for (const char* scope : {"all", "default"}) {
            QFile disable(QStringLiteral("/proc/sys/net/ipv6/conf/%1/disable_ipv6").arg(scope));
            if (disable.open(QIODevice::WriteOnly))
                disable.write("1\n");
        }
        IP(routed);

        Deliveries deliveries;
        std::atomic<bool> held = false, holding = false;
        QSemaphore release;
        NetlinkPathMonitor monitor;
        QVERIFY(monitor.start("Monitor", [&](const PathMonitor::Path& path) {
            deliveries.add(path);
            // Hold the monitor thread in its handler once, bounded in time.
            if (held.exchange(false)) {
                holding = true;
                release.tryAcquire(1, 30000);
            }
        }));
        // Never leave the monitor thread held when the test ends early.
        const auto unblock = qScopeGuard([&] { release.release(); });
        QTRY_VERIFY(deliveries.lastIs(true));

        held = true;
        IP({"route del default"});
        QTRY_VERIFY(holding);

        // Routes of another table fill the socket; none of them would call for
        // a new read, and the last change is lost to the overrun.
        QStringList flood;
        for (int i = 0; i < 4000; ++i)
            flood << QStringLiteral("route add 10.2.%1.%2/32 dev sa0 table 100")
                         .arg(i / 250)
                         .arg(i % 250 + 1);
        IP(flood << "route add default via 10.0.0.2");
        QVERIFY2(routeSocketDrops() > 0, "the burst did not overrun the monitor's socket");
        const std::size_t heldAt = deliveries.all().size();
        QVERIFY(deliveries.lastIs(false));
        release.release();

        QTRY_VERIFY_WITH_TIMEOUT(deliveries.all().size() > heldAt && deliveries.lastIs(true),
                                 15000);
        QVERIFY(deliveries.onMonitorThread);
    }

    void destroyedWhileChangesArrive()
    {
        IP(routed);
        QProcess background;
        const auto stop = qScopeGuard([&] {
            background.kill();
            background.waitForFinished(5000);
        });
        background.start(QStringLiteral("ip"), {QStringLiteral("-batch"), QStringLiteral("-")});
        QVERIFY(background.waitForStarted(10000));
        background.write(flaps(3000).join(QLatin1Char('\n')).toUtf8() + '\n');
        background.closeWriteChannel();

        for (int round = 0; round < 30; ++round) {
            if (round % 2) {
                // Updates still queued for the store must be dropped with it.
                auto status = std::make_unique<NetworkStatus>();
                QSignalSpy spy(status.get(), &NetworkStatus::missingConnectionChanged);
                if (round % 4 == 1)
                    QTRY_VERIFY(spy.count() > 0);
            } else {
                auto deliveries = std::make_shared<Deliveries>();
                auto monitor = std::make_unique<NetlinkPathMonitor>();
                QVERIFY(monitor->start("Monitor", [deliveries](const PathMonitor::Path& path) {
                    deliveries->add(path);
                }));
                if (round % 4 == 0)
                    QTRY_VERIFY(!deliveries->all().empty());
                monitor.reset();
                const std::size_t delivered = deliveries->all().size();
                QCOMPARE(monitorThreads(), 0);
                QCoreApplication::processEvents();
                QCOMPARE(deliveries->all().size(), delivered);
            }
            QCoreApplication::processEvents();
        }
        QCOMPARE(monitorThreads(), 0);
        QVERIFY2(background.state() == QProcess::Running || background.exitCode() == 0,
                 "the flapping stopped early");
    }

    // With the open-file limit below two, poll() on the monitor's two
    // descriptors fails (EINVAL) and no socket can be opened again; the
    // monitor says so once and follows the kernel again once it can.
    void pollErrorIsReportedAndRecovered()
    {
        IP(routed);
        Deliveries deliveries;
        NetlinkPathMonitor monitor;
        QVERIFY(monitor.start(
            "Monitor", [&deliveries](const PathMonitor::Path& path) { deliveries.add(path); }));
        QTRY_VERIFY(deliveries.lastIs(true));

        static std::atomic<int> reports{0};
        reports = 0;
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (qstrcmp(context.category, "sondik.network") == 0 && type == QtWarningMsg &&
                    message.contains(QLatin1String("poll")))
                    ++reports;
                previous(type, context, message);
            });
        const auto restoreHandler = qScopeGuard([] { qInstallMessageHandler(previous); });

        // Opened while descriptors can still be had: the test's own hands.
        const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        QVERIFY(control >= 0);
        ifreq request{};
        std::strncpy(request.ifr_name, "sb0", IFNAMSIZ - 1);
        QVERIFY(::ioctl(control, SIOCGIFFLAGS, &request) == 0);
        request.ifr_flags &= ~IFF_UP;

        rlimit original{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &original) == 0);
        rlimit starved = original;
        starved.rlim_cur = 1;
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &starved) == 0);
        // This thread's event loop polls too: plain sleeps until the limit is back.
        const bool wentDown = ::ioctl(control, SIOCSIFFLAGS, &request) == 0;
        QElapsedTimer waited;
        waited.start();
        while (reports == 0 && waited.elapsed() < 15000)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::setrlimit(RLIMIT_NOFILE, &original);
        ::close(control);
        QVERIFY(wentDown);
        QCOMPARE(reports.load(), 1);

        // Follows the kernel again: the link is down now, and then up.
        QTRY_VERIFY_WITH_TIMEOUT(deliveries.lastIs(false), 15000);
        IP({"link set sb0 up"});
        QTRY_VERIFY_WITH_TIMEOUT(deliveries.lastIs(true), 15000);
        QCOMPARE(reports.load(), 1);
    }

    // Socket creation fails here because no file descriptor is left for it.
    void netlinkUnavailable()
    {
        rlimit original{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &original) == 0);
        const int lowestFree = ::dup(0);
        QVERIFY(lowestFree >= 0);
        ::close(lowestFree);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "monitoring is unavailable \\(.+\\); .*present")));
        rlimit exhausted = original;
        // Room for the wake-up descriptor and one socket, not for the second
        // socket; the failed start gives both back (the sanitizers need them).
        exhausted.rlim_cur = rlim_t(lowestFree) + 2;
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &exhausted) == 0);
        auto status = std::make_unique<NetworkStatus>();
        ::setrlimit(RLIMIT_NOFILE, &original);

        QSignalSpy spy(status.get(), &NetworkStatus::missingConnectionChanged);
        // Nothing could say otherwise, even with the network down.
        QCOMPARE(monitorThreads(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(status->missingConnection(), false);
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNetlinkPathMonitor)
#include "tst_netlinkpathmonitor.moc"
