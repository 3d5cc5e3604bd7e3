#include "TestHttpServer.h"
#include "desktop/Appcast.h"
#include "desktop/Updater.h"

#include <QTest>

Q_DECLARE_METATYPE(Appcast::Error)

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

QByteArray links(const QString& download, const QString& notes)
{
    return "<link>" + download.toUtf8() + "</link><sparkle:releaseNotesLink>" + notes.toUtf8() +
           "</sparkle:releaseNotesLink>";
}

} // namespace

class TestUpdater : public QObject {
    Q_OBJECT

private slots:
    // The newest version and its links, or why there is none. A link that is
    // not a web address is dropped; the channel's page stands in for it.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<Appcast::Error>("error");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("download");
        QTest::addColumn<QString>("notes");

        using E = Appcast::Error;
        const QString page = QStringLiteral("https://sondik.example/"), none;
        QTest::newRow("highest by number, wherever listed")
            << appcast(item("1.1") + item("1.10") + item("1.9")) << E::None << "1.10" << page
            << none;
        QTest::newRow("unreadable versions passed over")
            << appcast(item("banana") + item("1.3")) << E::None << "1.3" << page << none;
        QTest::newRow("web links") << appcast(item("2.0", links(page + "download", page + "notes")))
                                   << E::None << "2.0" << page + "download" << page + "notes";
        QTest::newRow("other links")
            << appcast(item("2.0", links("file:///etc/passwd", "javascript:alert(1)"))) << E::None
            << "2.0" << page << none;
        QTest::newRow("an image's link is not the channel's")
            << appcast("<image><url>https://sondik.example/logo.png</url>"
                       "<link>https://sondik.example/logo</link></image>" +
                       item("2.0"))
            << E::None << "2.0" << page << none;
        QTest::newRow("no version parses")
            << appcast(item("1.3-beta") + item("") + item("1..2") + item("-1")) << E::NoVersion
            << none << none << none;
        QTest::newRow("empty feed") << appcast("") << E::NoItems << none << none << none;
        QTest::newRow("broken XML")
            << appcast(item("1.3")).left(150) << E::NotXml << none << none << none;
        QTest::newRow("entities") << QByteArray(
                                         "<!DOCTYPE rss [<!ENTITY a \"aaaa\">]><rss><channel>"
                                         "<item><title>&a;</title></item></channel></rss>")
                                  << E::NotXml << none << none << none;
    }

    void parse()
    {
        QFETCH(QByteArray, feed);
        QFETCH(Appcast::Error, error);
        QFETCH(QString, version);
        QFETCH(QString, download);
        QFETCH(QString, notes);
        const Appcast parsed = Appcast::parse(feed);
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.version, version);
        QCOMPARE(parsed.downloadPage, QUrl(download));
        QCOMPARE(parsed.releaseNotes, QUrl(notes));
    }

    // One check of the running 1.2 against a loopback server, to its end.
    void checks_data()
    {
        QTest::addColumn<QByteArray>("served"); // "silent": never answers; null: nobody listens
        QTest::addColumn<Updater::State>("state");
        QTest::addColumn<Updater::Failure>("failure");

        using S = Updater::State;
        using F = Updater::Failure;
        QTest::newRow("newer") << appcast(item("1.10")) << S::UpdateAvailable << F::None;
        QTest::newRow("same, trailing zero") << appcast(item("1.2.0")) << S::UpToDate << F::None;
        QTest::newRow("huge") << appcast(item("1.3") + QByteArray(3 * 1024 * 1024, ' '))
                              << S::Failed << F::TooLarge;
        QTest::newRow("silent") << QByteArray("silent") << S::Failed << F::TimedOut;
        QTest::newRow("refused") << QByteArray() << S::Failed << F::Network;
    }

    void checks()
    {
        QFETCH(QByteArray, served);
        QFETCH(Updater::State, state);
        QFETCH(Updater::Failure, failure);
        auto server = std::make_unique<TestHttpServer>();
        QVERIFY(server->listen());
        const QUrl url = server->url("/appcast.xml");
        if (served == "silent")
            server->add("/appcast.xml", {.kind = TestHttpServer::Route::Silent});
        else if (served.isNull())
            server.reset();
        else
            server->addFile("/appcast.xml", served, "application/rss+xml");
        Updater updater(url, QStringLiteral("1.2"),
                        served == "silent" ? std::chrono::milliseconds(500)
                                           : Updater::defaultTimeout);
        updater.checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(updater.state() != Updater::State::Checking, 30000);
        QCOMPARE(updater.state(), state);
        QCOMPARE(updater.failure(), failure);
        QVERIFY(!updater.message().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestUpdater)
#include "tst_updater.moc"
