#include "catalog/RadioStationStore.h"
#include "playback/RadioPlayer.h"

#include <QFile>
#include <QSet>
#include <QTest>

#include <cstdio>

// Every field of every row against the digest checked in beside this file:
// a swapped city, a wrong frequency or a mistyped logo name fails here, and a
// change to the tables shows in the digest's history row by row. After an
// intended change, `SONDIK_PRINT_STATION_DIGEST=1 tst_radiostationtables`
// prints the new digest.

namespace {

// The stream form of a URL, from the end of its path (query left out).
QString streamForm(const std::optional<QString>& url)
{
    if (!url)
        return QStringLiteral("tune service");
    const QString path = url->section(QLatin1Char('?'), 0, 0);
    for (const auto& [extension, form] : {std::pair{".m3u8", "HLS"}, std::pair{".m3u", "M3U"},
                                          std::pair{".mp3", "MP3"}, std::pair{".aac", "AAC"}}) {
        if (path.endsWith(QLatin1String(extension)))
            return QString::fromLatin1(form);
    }
    return QStringLiteral("direct");
}

// One line per row: list, position, then every field in order, the stream
// form before the URL; tab-separated, "none" for an absent optional.
QStringList digest(const RadioStationStore& store)
{
    QStringList lines;
    for (const auto& [list, stations] :
         {std::pair{"GE", &store.radioStations_GE()}, std::pair{"US", &store.radioStations_US()}}) {
        int position = 0;
        for (const RadioStation& s : *stations) {
            lines << QStringList{QLatin1String(list),
                                 QString::number(++position),
                                 s.id,
                                 s.name,
                                 s.subtitle,
                                 s.city,
                                 s.frequency ? QString::number(*s.frequency, 'g', 10)
                                             : QStringLiteral("none"),
                                 s.image,
                                 streamForm(s.streamUrl),
                                 s.streamUrl.value_or(QStringLiteral("none"))}
                         .join(QLatin1Char('\t'));
        }
    }
    return lines;
}

} // namespace

class TestRadioStationTables : public QObject {
    Q_OBJECT

    RadioStationStore store{[] {
        return std::optional<QString>("DE");
    }};

private slots:
    void matchesTheDigest()
    {
        const QStringList actual = digest(store);
        QFile file(QStringLiteral(SONDIK_STATION_DIGEST));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        // A differing row is printed with its index.
        QCOMPARE(actual, QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts));
    }

    // Rules the program relies on, whatever the digest says.
    void idsAreUniqueAndEveryAddressPlays()
    {
        QSet<QString> ids;
        for (const auto* list : {&store.radioStations_GE(), &store.radioStations_US()}) {
            for (const RadioStation& station : *list) {
                QVERIFY2(!ids.contains(station.id), qPrintable(station.id));
                ids.insert(station.id);
                QVERIFY2(!RadioPlayer::streamUrl(station, QStringLiteral("tune.example")).isEmpty(),
                         qPrintable(station.id));
            }
        }
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("SONDIK_PRINT_STATION_DIGEST")) {
        const RadioStationStore store([] { return std::optional<QString>("DE"); });
        std::fputs((digest(store).join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8().constData(),
                   stdout);
        return 0;
    }
    TestRadioStationTables test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_radiostationtables.moc"
