#include "TestHttpServer.h"
#include "app/Updater.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray appcast(const QByteArray& items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
           "<channel><title>Sondik</title><link>https://sondik.example/</link>\n" +
           items + "</channel></rss>\n";
}

QByteArray item(const QByteArray& version, const QByteArray& extra = {})
{
    return "<item><sparkle:shortVersionString>" + version + "</sparkle:shortVersionString>" +
           extra + "</item>\n";
}

} // namespace

class TestUpdater : public QObject {
    Q_OBJECT

    TestHttpServer server;

    // Runs one check to its end.
    void check(Updater& updater)
    {
        QSignalSpy started(&updater, &Updater::checkStarted);
        updater.checkForUpdates();
        QCOMPARE(started.size(), 1);
        QCOMPARE(updater.state(), Updater::State::Checking);
        QTRY_VERIFY_WITH_TIMEOUT(updater.state() != Updater::State::Checking, 30000);
        QVERIFY(!updater.message().isEmpty());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.listen());
    }

    void checksTheAppcast_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Updater::State>("state");
        QTest::addColumn<Updater::Failure>("failure");
        QTest::addColumn<QString>("latest");

        using F = Updater::Failure;
        const auto available = Updater::State::UpdateAvailable;
        const auto upToDate = Updater::State::UpToDate;
        const auto failed = Updater::State::Failed;
        QTest::newRow("newer") << appcast(item("1.3")) << available << F::None << "1.3";
        QTest::newRow("third number") << appcast(item("1.2.1")) << available << F::None << "1.2.1";
        QTest::newRow("by number") << appcast(item("1.10")) << available << F::None << "1.10";
        QTest::newRow("same") << appcast(item("1.2")) << upToDate << F::None << "1.2";
        QTest::newRow("trailing zero") << appcast(item("1.2.0")) << upToDate << F::None << "1.2.0";
        QTest::newRow("older") << appcast(item("1.1.9")) << upToDate << F::None << "1.1.9";
        QTest::newRow("highest wherever listed")
            << appcast(item("1.1") + item("2.0") + item("1.5")) << available << F::None << "2.0";
        QTest::newRow("sparkle:version when no short version")
            << appcast("<item><sparkle:version>1.4</sparkle:version></item>") << available
            << F::None << "1.4";
        QTest::newRow("enclosure attributes")
            << appcast("<item><enclosure url=\"https://sondik.example/s.tar.xz\" "
                       "sparkle:shortVersionString=\"1.1\" sparkle:version=\"99\"/></item>")
            << upToDate << F::None << "1.1";
        QTest::newRow("unreadable versions passed over")
            << appcast(item("banana") + item("1.3")) << available << F::None << "1.3";
        QTest::newRow("no version parses")
            << appcast(item("1.3-beta") + item("") + item("1..2") + item("-1")) << failed
            << F::NoVersion << "";
        QTest::newRow("empty feed") << appcast("") << failed << F::NoItems << "";
        QTest::newRow("not XML") << QByteArray("<html>Moved") << failed << F::NotAppcast << "";
        QTest::newRow("broken XML")
            << appcast(item("1.3")).left(150) << failed << F::NotAppcast << "";
        QTest::newRow("nothing at all") << QByteArray() << failed << F::NotAppcast << "";
        QTest::newRow("entities") << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a "
                                                "\"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                                                "<rss><channel><item><title>&b;</title></item>"
                                                "</channel></rss>")
                                  << failed << F::NotAppcast << "";
        QTest::newRow("huge") << appcast(item("1.3") + QByteArray(3 * 1024 * 1024, ' ')) << failed
                              << F::TooLarge << "";
    }

    void checksTheAppcast()
    {
        QFETCH(QByteArray, body);
        QFETCH(Updater::State, state);
        QFETCH(Updater::Failure, failure);
        QFETCH(QString, latest);
        server.addFile("/appcast.xml", body, "application/rss+xml");
        Updater updater(server.url("/appcast.xml"), QStringLiteral("1.2"));
        check(updater);
        QCOMPARE(updater.state(), state);
        QCOMPARE(updater.failure(), failure);
        QCOMPARE(updater.latestVersion(), latest);
    }

    // The channel's page stands in for a link that is not a web address.
    void linksOnlyToTheWeb()
    {
        server.addFile("/safe",
                       appcast(item("2.0", "<link>https://sondik.example/download</link>"
                                           "<sparkle:releaseNotesLink>https://sondik.example/notes"
                                           "</sparkle:releaseNotesLink>")),
                       {});
        server.addFile("/hostile",
                       appcast(item("2.0", "<link>file:///etc/passwd</link><sparkle:"
                                           "releaseNotesLink>javascript:alert(1)</sparkle:"
                                           "releaseNotesLink>")),
                       {});
        Updater safe(server.url("/safe"), QStringLiteral("1.2"));
        check(safe);
        QCOMPARE(safe.downloadPage(), QUrl("https://sondik.example/download"));
        QCOMPARE(safe.releaseNotes(), QUrl("https://sondik.example/notes"));
        Updater hostile(server.url("/hostile"), QStringLiteral("1.2"));
        check(hostile);
        QCOMPARE(hostile.state(), Updater::State::UpdateAvailable);
        QCOMPARE(hostile.downloadPage(), QUrl("https://sondik.example/"));
        QVERIFY(hostile.releaseNotes().isEmpty());
    }

    void networkFailures()
    {
        server.add("/silent", {.kind = TestHttpServer::Route::Silent});
        Updater updater(server.url("/silent"), QStringLiteral("1.2"),
                        std::chrono::milliseconds(500));
        check(updater);
        QCOMPARE(updater.failure(), Updater::Failure::TimedOut);
        // The next check starts afresh.
        server.addFile("/silent", appcast(item("1.2")), {});
        check(updater);
        QCOMPARE(updater.state(), Updater::State::UpToDate);
        QCOMPARE(updater.failure(), Updater::Failure::None);

        QUrl refused;
        {
            TestHttpServer closed;
            QVERIFY(closed.listen());
            refused = closed.url("/appcast.xml");
        }
        Updater unreachable(refused, QStringLiteral("1.2"));
        check(unreachable);
        QCOMPARE(unreachable.failure(), Updater::Failure::Network);
        // The reason follows the sentence.
        const QString failed = qtTrId("The update check failed: %1");
        QVERIFY(unreachable.message().startsWith(failed.arg("")));
        QVERIFY(unreachable.message().size() > failed.size());
    }
};

QTEST_GUILESS_MAIN(TestUpdater)
#include "tst_updater.moc"
