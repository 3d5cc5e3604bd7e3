#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <future>

using Role = SingleInstance::Role;

namespace {

const char* childDirectoryVariable = "SONDIK_TEST_INSTANCE_DIR";
const char* childCountVariable = "SONDIK_TEST_INSTANCE_COUNT";
const QString name = QStringLiteral("test.Sondik");

// Child mode: claim, print the role; the primary then counts show requests
// until every other child has reached it or time runs out.
int runChild()
{
    const QString directory = qEnvironmentVariable(childDirectoryVariable);
    const int others = qEnvironmentVariableIntValue(childCountVariable) - 1;
    SingleInstance instance(directory, name);
    const Role role = instance.claim(std::chrono::milliseconds(5000));
    if (role != Role::Primary) {
        printf("%s\n", role == Role::Secondary ? "secondary" : "other");
        return 0;
    }
    int argc = 1;
    char arg0[] = "child";
    char* argv[] = {arg0, nullptr};
    QCoreApplication app(argc, argv);
    if (!instance.listen())
        return 2;
    int requests = 0;
    QObject::connect(&instance, &SingleInstance::showRequested, &app, [&] {
        if (++requests == others)
            app.quit();
    });
    QTimer::singleShot(8000, &app, &QCoreApplication::quit);
    app.exec();
    printf("primary %d\n", requests);
    fflush(stdout);
    return 0;
}

// A later start, claiming from a thread of its own while this thread's event
// loop lets the first instance answer.
Role claimAside(const QString& directory)
{
    auto claimed = std::async(std::launch::async, [directory] {
        SingleInstance later(directory, name);
        return later.claim(std::chrono::milliseconds(5000));
    });
    QElapsedTimer waited;
    waited.start();
    while (claimed.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           waited.elapsed() < 60000)
        QTest::qWait(10);
    return claimed.get();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init() { dir = std::make_unique<QTemporaryDir>(); }

    // Whatever a dead instance or a stranger left, a later start reaches
    // the first one, which shows its window once per start.
    void secondStartAsksTheFirstToShow_data()
    {
        QTest::addColumn<bool>("deadLock");
        QTest::addColumn<QByteArray>("stranger"); // sent first; null: none
        QTest::newRow("clean") << false << QByteArray();
        QTest::newRow("lock and socket of a dead instance") << true << QByteArray();
        QTest::newRow("stranger: unknown word") << false << QByteArray("quit\n");
        QTest::newRow("stranger: no line end") << false << QByteArray("show");
        QTest::newRow("stranger: flood") << false << QByteArray(100000, 'x');
        QTest::newRow("stranger: binary") << false << QByteArray("\0\xff show\n", 8);
    }

    void secondStartAsksTheFirstToShow()
    {
        QFETCH(bool, deadLock);
        QFETCH(QByteArray, stranger);
        SingleInstance first(dir->path(), name);
        if (deadLock) {
            // No pid is this high; the socket file has nobody listening.
            QFile lock(first.lockPath());
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("999999999\nsondik\n" + QSysInfo::machineHostName().toUtf8() + "\n");
            lock.close();
            QCOMPARE(
                QProcess::execute("python3", {"-c",
                                              "import socket, sys; "
                                              "socket.socket(socket.AF_UNIX).bind(sys.argv[1])",
                                              first.socketPath()}),
                0);
        }
        QCOMPARE(first.claim(std::chrono::milliseconds(5000)), Role::Primary);
        QVERIFY(first.listen());
        const QFile::Permissions permissions = QFileInfo(first.socketPath()).permissions();
        QVERIFY(!(permissions &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)));
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        if (!stranger.isNull()) {
            QLocalSocket socket;
            socket.connectToServer(first.socketPath());
            QVERIFY(socket.waitForConnected(5000));
            socket.write(stranger);
            socket.disconnectFromServer(); // once all is written, or dropped
            QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
        }
        QCOMPARE(claimAside(dir->path()), Role::Secondary);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(claimAside(dir->path()), Role::Secondary);
        QCOMPARE(shown.size(), 2);
    }

    // This thread holds the first instance and does not run its event loop:
    // the request reaches the socket (or the lock has no socket yet), the
    // answer never comes.
    void aSilentFirstInstanceIsReported_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("hung") << true;
        QTest::newRow("lock without listener") << false;
    }

    void aSilentFirstInstanceIsReported()
    {
        QFETCH(bool, listening);
        SingleInstance first(dir->path(), name);
        QCOMPARE(first.claim(), Role::Primary);
        QVERIFY(!listening || first.listen());
        SingleInstance second(dir->path(), name);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(second.claim(std::chrono::milliseconds(400)), Role::Unanswered);
        QVERIFY(timer.elapsed() >= 350);
        QCOMPARE(second.otherProcessId(), QCoreApplication::applicationPid());
    }

    void simultaneousStartsMakeOnePrimary()
    {
        const int count = 6;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(childDirectoryVariable, dir->path());
        environment.insert(childCountVariable, QString::number(count));
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < count; ++i) {
            auto child = std::make_unique<QProcess>();
            child->setProcessEnvironment(environment);
            child->start(QCoreApplication::applicationFilePath(), {});
            children.push_back(std::move(child));
        }
        QStringList lines;
        for (auto& child : children) {
            QVERIFY(child->waitForFinished(15000));
            QCOMPARE(child->exitCode(), 0);
            lines.append(QString::fromUtf8(child->readAllStandardOutput()).trimmed());
        }
        lines.sort();
        QStringList expected(count - 1, QStringLiteral("secondary"));
        expected.prepend(QStringLiteral("primary %1").arg(count - 1));
        QCOMPARE(lines, expected);
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(childDirectoryVariable))
        return runChild();
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
