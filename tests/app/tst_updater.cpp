#include "app/Updater.h"

#include <QHash>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

// Answers each GET on loopback with the body registered for its path; a path
// without one is read and never answered.
class AppcastServer : public QObject {
public:
    AppcastServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
    }

    void add(const QByteArray& path, const QByteArray& body) { m_bodies.insert(path, body); }
    QUrl url(const QByteArray& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2")
                        .arg(m_server.serverPort())
                        .arg(QString::fromLatin1(path)));
    }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        const auto body = m_bodies.constFind(path);
        if (body == m_bodies.constEnd())
            return;
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: application/rss+xml\r\n\r\n");
        socket->write(*body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_bodies;
    QHash<QTcpSocket*, QByteArray> m_requests;
};

QByteArray appcast(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
           "<channel><title>Sondik</title><link>https://sondik.example/</link>\n" +
           items + "</channel></rss>\n";
}

QByteArray item(const QByteArray& version)
{
    return "<item><title>Sondik " + version + "</title><sparkle:shortVersionString>" + version +
           "</sparkle:shortVersionString></item>\n";
}

} // namespace

class TestUpdater : public QObject {
    Q_OBJECT

private slots:
    void noAppcastInTheBuildMeansNoUpdater()
    {
        QCOMPARE(QByteArray(SONDIK_APPCAST_URL), QByteArray());
        QVERIFY(!Updater::fromBuild());
    }

    void checksTheAppcast_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Updater::State>("state");
        QTest::addColumn<Updater::Failure>("failure");
        QTest::addColumn<QString>("latest");

        const auto none = Updater::Failure::None;
        const auto available = Updater::State::UpdateAvailable;
        const auto upToDate = Updater::State::UpToDate;
        const auto failed = Updater::State::Failed;
        QTest::newRow("newer") << appcast(item("1.3")) << available << none << "1.3";
        QTest::newRow("newer in the third number")
            << appcast(item("1.2.1")) << available << none << "1.2.1";
        QTest::newRow("newer by number, not by text")
            << appcast(item("1.10")) << available << none << "1.10";
        QTest::newRow("same") << appcast(item("1.2")) << upToDate << none << "1.2";
        QTest::newRow("same with a trailing zero")
            << appcast(item("1.2.0")) << upToDate << none << "1.2.0";
        QTest::newRow("older") << appcast(item("1.1.9")) << upToDate << none << "1.1.9";
        QTest::newRow("the highest of several items, wherever listed")
            << appcast(item("1.1") + item("2.0") + item("1.5")) << available << none << "2.0";
        QTest::newRow("sparkle:version when no short version")
            << appcast("<item><sparkle:version>1.4</sparkle:version></item>") << available << none
            << "1.4";
        QTest::newRow("enclosure attributes")
            << appcast("<item><enclosure url=\"https://sondik.example/s.tar.xz\" "
                       "sparkle:shortVersionString=\"1.1\" sparkle:version=\"99\"/></item>")
            << upToDate << none << "1.1";
        QTest::newRow("items with unreadable versions are passed over")
            << appcast(item("banana") + item("1.3")) << available << none << "1.3";
        QTest::newRow("no item has a version that parses")
            << appcast(item("1.3-beta") + item("") + item("1..2") + item("-1")) << failed
            << Updater::Failure::NoVersion << "";
        QTest::newRow("empty feed") << appcast("") << failed << Updater::Failure::NoItems << "";
        QTest::newRow("not XML") << QByteArray("<html><body>Moved") << failed
                                 << Updater::Failure::NotAppcast << "";
        QTest::newRow("broken XML")
            << appcast(item("1.3")).left(150) << failed << Updater::Failure::NotAppcast << "";
        QTest::newRow("nothing at all")
            << QByteArray() << failed << Updater::Failure::NotAppcast << "";
        QTest::newRow("entities") << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a "
                                                "\"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                                                "<rss><channel><item><title>&b;</title></item>"
                                                "</channel></rss>")
                                  << failed << Updater::Failure::NotAppcast << "";
        QTest::newRow("huge") << appcast(item("1.3") + QByteArray(3 * 1024 * 1024, ' ')) << failed
                              << Updater::Failure::TooLarge << "";
    }

    void checksTheAppcast()
    {
        QFETCH(QByteArray, body);
        QFETCH(Updater::State, state);
        QFETCH(Updater::Failure, failure);
        QFETCH(QString, latest);
        AppcastServer server;
        server.add("/appcast.xml", body);
        Updater updater(server.url("/appcast.xml"), QStringLiteral("1.2"));
        QSignalSpy started(&updater, &Updater::checkStarted);
        updater.checkForUpdates();
        QCOMPARE(started.size(), 1);
        QCOMPARE(updater.state(), Updater::State::Checking);
        QTRY_VERIFY_WITH_TIMEOUT(updater.state() != Updater::State::Checking, 30000);
        QCOMPARE(updater.state(), state);
        QCOMPARE(updater.failure(), failure);
        QCOMPARE(updater.latestVersion(), latest);
        QVERIFY(!updater.message().isEmpty());
    }

    void linksOnlyToTheWeb()
    {
        AppcastServer server;
        server.add("/safe",
                   appcast("<item><sparkle:shortVersionString>2.0</sparkle:shortVersionString>"
                           "<link>https://sondik.example/download</link><sparkle:"
                           "releaseNotesLink>https://sondik.example/notes</sparkle:"
                           "releaseNotesLink></item>"));
        server.add("/hostile",
                   appcast("<item><sparkle:shortVersionString>2.0</sparkle:shortVersionString>"
                           "<link>file:///etc/passwd</link><sparkle:releaseNotesLink>"
                           "javascript:alert(1)</sparkle:releaseNotesLink></item>"));
        Updater safe(server.url("/safe"), QStringLiteral("1.2"));
        safe.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(safe.state(), Updater::State::UpdateAvailable, 30000);
        QCOMPARE(safe.downloadPage(), QUrl("https://sondik.example/download"));
        QCOMPARE(safe.releaseNotes(), QUrl("https://sondik.example/notes"));

        // The channel's page stands in for a link that is not a web address.
        Updater hostile(server.url("/hostile"), QStringLiteral("1.2"));
        hostile.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(hostile.state(), Updater::State::UpdateAvailable, 30000);
        QCOMPARE(hostile.downloadPage(), QUrl("https://sondik.example/"));
        QVERIFY(hostile.releaseNotes().isEmpty());
    }

    void aServerThatNeverAnswersTimesOut()
    {
        AppcastServer server; // no body for the path: it never answers
        Updater updater(server.url("/silent"), QStringLiteral("1.2"),
                        std::chrono::milliseconds(500));
        updater.checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(updater.state() != Updater::State::Checking, 30000);
        QCOMPARE(updater.state(), Updater::State::Failed);
        QCOMPARE(updater.failure(), Updater::Failure::TimedOut);

        // The next check starts afresh.
        server.add("/silent", appcast(item("1.2")));
        updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(updater.state(), Updater::State::UpToDate, 30000);
        QCOMPARE(updater.failure(), Updater::Failure::None);
    }

    void aRefusedConnectionSaysWhy()
    {
        QUrl url;
        {
            AppcastServer closed;
            url = closed.url("/appcast.xml");
        }
        Updater updater(url, QStringLiteral("1.2"));
        updater.checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(updater.state() != Updater::State::Checking, 30000);
        QCOMPARE(updater.failure(), Updater::Failure::Network);
        QVERIFY(updater.message().startsWith(qtTrId("The update check failed: %1").arg("")));
        QVERIFY(updater.message().size() > qtTrId("The update check failed: %1").size());
    }
};

QTEST_GUILESS_MAIN(TestUpdater)
#include "tst_updater.moc"
