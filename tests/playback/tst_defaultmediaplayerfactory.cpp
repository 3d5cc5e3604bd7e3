// The media-player factory when its plugin is not where it looks (the test
// points SONDIK_PLUGIN_DIR at an empty folder).
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

class TestDefaultMediaPlayerFactory : public QObject {
    Q_OBJECT

private slots:
    void withoutPluginPlaysNothingAndSaysSoOnce()
    {
        const MediaPlayerFactory factory = defaultMediaPlayerFactory();
        const QUrl url(QStringLiteral("http://127.0.0.1:9/stream.mp3"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Sondik: no media player, .*")));
        // The plugin loads off the calling thread: a player at once, which
        // fails as a dead stream does once the load has failed.
        std::unique_ptr<MediaPlayer> first = factory(url);
        QVERIFY(first);
        QSignalSpy rates(first.get(), &MediaPlayer::rateChanged);
        first->play();
        QTRY_COMPARE_WITH_TIMEOUT(rates.size(), 2, 10000);
        QCOMPARE(rates.at(0).at(0).toFloat(), 1.0f);
        QCOMPARE(rates.at(1).at(0).toFloat(), 0.0f);

        // Tried once: no second attempt, no second line, no more players.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        preloadMediaPlayers();
        QCOMPARE(factory(url).get(), nullptr);
        QCOMPARE(defaultMediaPlayerFactory()(url).get(), nullptr);
        QCOMPARE(mediaPlayerCoreCount(), 0);
    }
};

QTEST_MAIN(TestDefaultMediaPlayerFactory)
#include "tst_defaultmediaplayerfactory.moc"
