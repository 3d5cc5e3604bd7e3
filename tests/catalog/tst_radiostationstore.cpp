#include "catalog/RadioStationStore.h"
#include "playback/RadioPlayer.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>

namespace {

using Region = std::optional<QString>;

// One tab-separated line per row of both tables: list, position, then every
// field ("none" for an absent one). Checked against radio-stations.tsv beside
// this file, so a swapped city or a mistyped logo name fails, and a change
// shows in its history row by row.
QStringList digest(const RadioStationStore& store)
{
    QStringList lines;
    for (const auto& [list, stations] :
         {std::pair{"GE", &store.radioStations_GE()}, std::pair{"US", &store.radioStations_US()}}) {
        int position = 0;
        for (const RadioStation& s : *stations) {
            QStringList fields{list, QString::number(++position), s.id, s.name, s.subtitle, s.city};
            fields << (s.frequency ? QString::number(*s.frequency, 'g', 10) : "none") << s.image
                   << s.streamUrl.value_or("none");
            lines << fields.join('\t');
        }
    }
    return lines;
}

} // namespace

class TestRadioStationStore : public QObject {
    Q_OBJECT

private slots:
    void tablesMatchTheDigest()
    {
        QFile file(QStringLiteral(SONDIK_STATION_DIGEST));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        // A differing row is printed with its index.
        QCOMPARE(digest(RadioStationStore([] { return Region(); })),
                 QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts));
    }

    // Ids are unique, every address plays, every logo draws and covers its
    // block at the size shown.
    void everyStationIsUsable()
    {
        const RadioStationStore store([] { return Region(); });
        QSet<QString> ids;
        for (const auto* list : {&store.radioStations_GE(), &store.radioStations_US()}) {
            for (const RadioStation& station : *list) {
                QVERIFY2(!ids.contains(station.id), qPrintable(station.id));
                ids.insert(station.id);
                QVERIFY2(!RadioPlayer::streamUrl(station, "tune.example").isEmpty(),
                         qPrintable(station.id));
                QSvgRenderer logo(QStringLiteral(":/logos/%1.svg").arg(station.image));
                QVERIFY2(logo.isValid(), qPrintable(station.image));
                QImage drawn(48, 48, QImage::Format_ARGB32_Premultiplied);
                drawn.fill(Qt::transparent);
                QPainter painter(&drawn);
                logo.render(&painter);
                painter.end();
                QVERIFY2(qAlpha(drawn.pixel(24, 2)) == 255 && qAlpha(drawn.pixel(2, 24)) == 255,
                         qPrintable(station.image));
            }
        }
        QCOMPARE(ids.size(), 175);
    }

    void regionOfLocaleName_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("region"); // null: none
        for (const QString row : {"de_DE.UTF-8 DE", "en_US.UTF-8 US", "fr_FR FR", "de_AT@euro AT",
                                  "sr_RS.UTF-8@latin RS", "ast_ES.UTF-8 ES", "es_419.UTF-8 419"})
            QTest::newRow(qPrintable(row)) << row.section(' ', 0, 0) << row.section(' ', 1);
        for (const char* none : {"C", "C.UTF-8", "POSIX", "", "de", "de.UTF-8", "__/etc/passwd"})
            QTest::newRow(*none ? none : "unset") << QString(none) << QString();
    }

    void regionOfLocaleName()
    {
        QFETCH(QString, locale);
        QFETCH(QString, region);
        QCOMPARE(RadioStationStore::regionOfLocaleName(locale),
                 region.isNull() ? Region() : Region(region));
    }

    void regionOfEnvironmentPrefersLcAll()
    {
        qputenv("LC_ALL", "fr_FR.UTF-8");
        qputenv("LANG", "C");
        QCOMPARE(RadioStationStore::regionOfEnvironment(), Region("FR"));
        qputenv("LC_ALL", "");
        QCOMPARE(RadioStationStore::regionOfEnvironment(), Region());
        qputenv("LANG", "en_US.UTF-8");
        QCOMPARE(RadioStationStore::regionOfEnvironment(), Region("US"));
    }

    // Germany whenever the locale has a region, else the United States; the
    // region is asked at every call, and a station is found in either list.
    void listFollowsRegion()
    {
        Region region;
        const RadioStationStore store([&region] { return region; });
        for (const auto& [asked, count, first] : {std::tuple{"DE", 163, "Absolut Bella"},
                                                  {"US", 163, "Absolut Bella"},
                                                  {nullptr, 12, "ESPN New York 98.7 FM"}}) {
            region = asked ? Region(asked) : Region();
            QCOMPARE(store.radioStations().size(), count);
            QCOMPARE(store.radioStations().first().name, first);
            QCOMPARE(store.radioStationsVariant().size(), count);
        }
        QCOMPARE(store.station("s299053").value().name, "Absolut Bella");
        QCOMPARE(store.station("s38989").value().frequency, 107.9); // in the US list
        QVERIFY(!store.station("S299053"));
        QVERIFY(!store.station(QString()));
    }
};

QTEST_MAIN(TestRadioStationStore)
#include "tst_radiostationstore.moc"
