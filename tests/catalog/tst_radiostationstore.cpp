#include "catalog/RadioStationStore.h"
#include "playback/RadioPlayer.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

using Region = std::optional<QString>;

class TestRadioStationStore : public QObject {
    Q_OBJECT

private slots:
    // Both tables against radio-stations.tsv beside this file, one tab-separated
    // line per station ("none" for an absent field), so that a swapped city or a
    // mistyped logo name fails and a change shows in its history row by row.
    // Every station is also found by its exact id, plays, and has a logo that
    // draws and covers its block at the size shown.
    void everyStation()
    {
        QFile file(QStringLiteral(SONDIK_STATION_DIGEST));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const RadioStationStore store([] { return Region(); });
        QStringList digest;
        for (const auto& [list, stations] :
             {std::pair{"GE", &store.radioStations_GE()}, {"US", &store.radioStations_US()}}) {
            int position = 0;
            for (const RadioStation& s : *stations) {
                const QString frequency =
                    s.frequency ? QString::number(*s.frequency, 'g', 10) : "none";
                digest << QString("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9")
                              .arg(list, QString::number(++position), s.id, s.name, s.subtitle,
                                   s.city, frequency, s.image, s.streamUrl.value_or("none"));
                // A second station of the same id would not be found.
                QVERIFY2(store.station(s.id) == s && !store.station(s.id.toUpper()),
                         qPrintable(s.id));
                QVERIFY2(!RadioPlayer::streamUrl(s, "tune.example").isEmpty(), qPrintable(s.id));
                QSvgRenderer logo(QStringLiteral(":/logos/%1.svg").arg(s.image));
                QImage drawn(48, 48, QImage::Format_ARGB32_Premultiplied);
                drawn.fill(Qt::transparent);
                QPainter painter(&drawn);
                logo.render(&painter);
                painter.end();
                QVERIFY2(logo.isValid() && qAlpha(drawn.pixel(24, 2)) == 255 &&
                             qAlpha(drawn.pixel(2, 24)) == 255,
                         qPrintable(s.image));
            }
        }
        // A differing row is printed with its index.
        QCOMPARE(digest, QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts));
    }

    // LC_ALL, else LANG (here always en_US), names the locale; Germany's list
    // whenever it has a region, else the United States'.
    void listOfLocale_data()
    {
        QTest::addColumn<QString>("lcAll");
        QTest::addColumn<QString>("region"); // empty: none
        for (const QString row :
             {"de_DE.UTF-8 DE", "fr_FR FR", "de_AT@euro AT", "sr_RS.UTF-8@latin RS",
              "ast_ES.UTF-8 ES", "es_419.UTF-8 419", " US", "C", "C.UTF-8", "POSIX", "de",
              "de.UTF-8", "__/etc/passwd"})
            QTest::newRow(qPrintable(row)) << row.section(' ', 0, 0) << row.section(' ', 1);
    }

    void listOfLocale()
    {
        QFETCH(QString, lcAll);
        QFETCH(QString, region);
        qputenv("LC_ALL", lcAll.toUtf8());
        qputenv("LANG", "en_US.UTF-8");
        QCOMPARE(RadioStationStore::regionOfEnvironment(),
                 region.isEmpty() ? Region() : Region(region));
        const RadioStationStore store;
        QCOMPARE(store.radioStationsVariant().size(), region.isEmpty() ? 12 : 163);
    }
};

QTEST_MAIN(TestRadioStationStore)
#include "tst_radiostationstore.moc"
