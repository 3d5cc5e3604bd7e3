#include "desktop/SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

using Role = SingleInstance::Role;

namespace {

const QString name = QStringLiteral("test.Sondik");

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); }

    // Whatever a dead instance or a stranger left, a later start reaches
    // the first one, which shows its window once per start. A first one that
    // does not answer (this thread holds it and runs no event loop) is
    // reported, not waited for.
    void laterStarts_data()
    {
        QTest::addColumn<QString>("first"); // "dead": its lock and socket left; "silent": hung
        QTest::addColumn<QByteArray>("stranger"); // sent first; null: none
        QTest::newRow("clean") << "" << QByteArray();
        QTest::newRow("lock and socket of a dead instance") << "dead" << QByteArray();
        QTest::newRow("stranger: no line end") << "" << QByteArray("show");
        QTest::newRow("stranger: flood") << "" << QByteArray(100000, 'x');
        QTest::newRow("stranger: binary") << "" << QByteArray("\0\xff show\n", 8);
        QTest::newRow("hung") << "silent" << QByteArray();
    }

    void laterStarts()
    {
        QFETCH(QString, first);
        QFETCH(QByteArray, stranger);
        SingleInstance running(dir->path(), name);
        if (first == "dead") {
            // No pid is this high; nobody listens behind the socket's name.
            for (const QString& path : {running.lockPath(), running.socketPath()}) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("999999999\nsondik\n" + QSysInfo::machineHostName().toUtf8() + "\n");
            }
        }
        QCOMPARE(running.claim(std::chrono::milliseconds(5000)), Role::Primary);
        QVERIFY(running.listen());
        if (first == "silent") {
            SingleInstance later(dir->path(), name);
            QCOMPARE(later.claim(std::chrono::milliseconds(400)), Role::Unanswered);
            return;
        }
        if (!stranger.isNull()) {
            QLocalSocket socket;
            socket.connectToServer(running.socketPath());
            QVERIFY(socket.waitForConnected(5000));
            socket.write(stranger);
            socket.disconnectFromServer(); // once all is written, or dropped
            QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
        }
        QSignalSpy shown(&running, &SingleInstance::showRequested);
        for (int start = 1; start <= 2; ++start) {
            // From a thread of its own, while this thread's event loop lets
            // the first instance answer.
            auto later = std::async(std::launch::async, [this] {
                return SingleInstance(dir->path(), name).claim(std::chrono::milliseconds(5000));
            });
            QTRY_VERIFY_WITH_TIMEOUT(
                later.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 60000);
            QCOMPARE(later.get(), Role::Secondary);
            QCOMPARE(shown.size(), start);
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
