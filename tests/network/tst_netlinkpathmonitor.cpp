#include "IpBatch.h"
#include "network/NetworkStatus.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <memory>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

// What only the kernel can show: its own messages about real links and routes
// reach the banner's flag. Every case runs in a network namespace of its own,
// entered by the test's main thread (which starts the monitors and the `ip`
// commands), so nothing here touches the machine's real interfaces. The
// namespace goes away with the last socket in it.

namespace {

// A veth pair whose far end is up: sa0 to sb0. Without IPv6 link-local
// addresses, whose duplicate checks end a second later: their messages would
// make the monitor read the state again and hide a change it missed.
const QString veth = "link add sa0 type veth peer name sb0;link set sa0 addrgenmode none;"
                     "link set sb0 addrgenmode none;link set sa0 up;link set sb0 up;";
const QString routed = veth + "addr add 10.0.0.1/24 dev sa0;route add default via 10.0.0.2";

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

} // namespace

class TestNetlinkPathMonitor : public QObject {
    Q_OBJECT

private slots:
    // A fresh namespace for every case, holding only loopback.
    void init()
    {
        if (::geteuid() != 0)
            QSKIP("Needs root to create network namespaces");
        if (::unshare(CLONE_NEWNET) != 0)
            QSKIP(qPrintable(QStringLiteral("Network namespaces are unavailable: ") +
                             QString::fromLocal8Bit(std::strerror(errno))));
        const IpBatch links({"link show"}); // commands run in here, too
        QVERIFY2(links.ok && links.output.count(QStringLiteral(": <")) == 1,
                 qPrintable(links.output));
    }

    // Each step: `ip` commands separated by ";", then what the flag must say
    // once the monitor has seen them.
    void followsTheKernel_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("ipv4") << QStringList{
            routed + " -> present",
            "route del default -> missing",
            "route add default via 10.0.0.2 -> present",
            "link set sb0 down -> missing", // carrier lost
            "link set sb0 up -> present",
            "link set sa0 down -> missing", // drops its routes without a route message
            "link set sa0 up;route add default via 10.0.0.2 -> present",
            "addr del 10.0.0.1/24 dev sa0 -> missing"};
        QTest::newRow("ipv6") << QStringList{veth + "addr add fd00::1/64 dev sa0 nodad -> missing",
                                             "route add default via fd00::2 -> present",
                                             "route del ::/0 -> missing"};
        QTest::newRow("nexthop object")
            << QStringList{veth + "addr add 10.0.0.1/24 dev sa0;nexthop add id 1 via 10.0.0.2 dev "
                                  "sa0;route add default nhid 1 -> present",
                           "link set sb0 down -> missing"};
    }

    void followsTheKernel()
    {
        QFETCH(QStringList, steps);
        if (QTest::currentDataTag() == QLatin1String("nexthop object")) {
            // Without compatibility mode, routes name only their nexthop object.
            QFile compat(QStringLiteral("/proc/sys/net/ipv4/nexthop_compat_mode"));
            if (!compat.open(QIODevice::WriteOnly) || compat.write("0\n") != 2)
                QSKIP("This kernel has no nexthop objects");
        }
        NetworkStatus status;
        QSignalSpy spy(&status, &NetworkStatus::missingConnectionChanged);
        for (const QString& step : std::as_const(steps)) {
            const qsizetype before = spy.count();
            const bool missing = step.section(" -> ", 1) == "missing";
            IP(step.section(" -> ", 0, 0).split(';'));
            // A write that came after the commands, saying what they lead to.
            QTRY_VERIFY2_WITH_TIMEOUT(spy.count() > before && spy.last().at(0).toBool() == missing,
                                      qPrintable(step), 15000);
            QCOMPARE(status.missingConnection(), missing);
        }
    }

    // Monitors go away while changes keep coming, some with updates still
    // queued for the status: the thread goes with the monitor, and what it
    // posted goes with the status.
    void destroyedWhileChangesArrive()
    {
        IP(routed.split(';'));
        QProcess flapping;
        const auto stop = qScopeGuard([&] {
            flapping.kill();
            flapping.waitForFinished(5000);
        });
        flapping.start(QStringLiteral("ip"), {QStringLiteral("-batch"), QStringLiteral("-")});
        QVERIFY(flapping.waitForStarted(10000));
        for (int i = 0; i < 3000; ++i)
            flapping.write(i % 2 ? "link set sb0 up\n" : "link set sb0 down\n");
        flapping.closeWriteChannel();

        for (int round = 0; round < 30; ++round) {
            auto status = std::make_unique<NetworkStatus>();
            QSignalSpy spy(status.get(), &NetworkStatus::missingConnectionChanged);
            if (round % 2)
                QTRY_VERIFY(spy.count() > 0 && monitorThreads() == 1);
            status.reset();
            QTRY_COMPARE(monitorThreads(), 0);
        }
        QVERIFY2(flapping.state() == QProcess::Running || flapping.exitCode() == 0,
                 "the flapping stopped early");
    }

    // Socket creation fails here because no file descriptor is left for it:
    // nothing can say the connection is missing, even with the network down.
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
        NetworkStatus status;
        ::setrlimit(RLIMIT_NOFILE, &original);
        QCOMPARE(monitorThreads(), 0);
        QCOMPARE(status.missingConnection(), false);
    }
};

QTEST_GUILESS_MAIN(TestNetlinkPathMonitor)
#include "tst_netlinkpathmonitor.moc"
