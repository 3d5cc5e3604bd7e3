// The media-player factory when its plugin is not where it looks (the test
// points SONDIK_PLUGIN_DIR at an empty folder).
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPlugin.h"

#include <QRegularExpression>
#include <QTest>
#include <QUrl>

class TestDefaultMediaPlayerFactory : public QObject {
    Q_OBJECT

private slots:
    void withoutPluginMakesNoPlayerAndSaysSoOnce()
    {
        const MediaPlayerFactory factory = defaultMediaPlayerFactory();
        const QUrl url(QStringLiteral("http://127.0.0.1:9/stream.mp3"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Sondik: no media player, .*")));
        QCOMPARE(factory(url).get(), nullptr);
        // Tried once: no second attempt, no second line.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QCOMPARE(factory(url).get(), nullptr);
        QCOMPARE(defaultMediaPlayerFactory()(url).get(), nullptr);
        QCOMPARE(mediaPlayerCoreCount(), 0);
    }
};

QTEST_MAIN(TestDefaultMediaPlayerFactory)
#include "tst_defaultmediaplayerfactory.moc"
