#include "catalog/RadioStationStore.h"

#include <QTest>

class TestRadioStationStore : public QObject {
    Q_OBJECT

private slots:
    void regionOfLocaleName_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("region"); // null: none
        const auto row = [](const char* name, const QString& locale, const QString& region) {
            QTest::newRow(name) << locale << region;
        };
        row("German", "de_DE.UTF-8", "DE");
        row("American", "en_US.UTF-8", "US");
        row("French, no codeset", "fr_FR", "FR");
        row("Austrian with modifier", "de_AT@euro", "AT");
        row("Serbian, codeset and modifier", "sr_RS.UTF-8@latin", "RS");
        row("three-letter language", "ast_ES.UTF-8", "ES");
        row("numeric region", "es_419.UTF-8", "419");
        for (const char* none : {"C", "C.UTF-8", "POSIX", "", "de", "de.UTF-8", "__/etc/passwd"})
            row(*none ? none : "unset", none, {});
    }

    void regionOfLocaleName()
    {
        QFETCH(QString, locale);
        QFETCH(QString, region);
        QCOMPARE(RadioStationStore::regionOfLocaleName(locale),
                 region.isNull() ? std::nullopt : std::optional(region));
    }

    void regionOfEnvironmentPrefersLcAll()
    {
        const QByteArray oldAll = qgetenv("LC_ALL"), oldLang = qgetenv("LANG");
        auto restore = qScopeGuard([&] {
            qputenv("LC_ALL", oldAll);
            qputenv("LANG", oldLang);
        });
        qputenv("LC_ALL", "fr_FR.UTF-8");
        qputenv("LANG", "C");
        QCOMPARE(RadioStationStore::regionOfEnvironment(), std::optional<QString>("FR"));
        qputenv("LC_ALL", "");
        QCOMPARE(RadioStationStore::regionOfEnvironment(), std::nullopt);
        qputenv("LANG", "en_US.UTF-8");
        QCOMPARE(RadioStationStore::regionOfEnvironment(), std::optional<QString>("US"));
    }

    void listShownFollowsRegion_data()
    {
        QTest::addColumn<QString>("region");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::newRow("DE") << "DE" << 163 << "Absolut Bella";
        QTest::newRow("US region still gives Germany") << "US" << 163 << "Absolut Bella";
        QTest::newRow("no region") << QString() << 12 << "ESPN New York 98.7 FM";
    }

    void listShownFollowsRegion()
    {
        QFETCH(QString, region);
        QFETCH(int, count);
        QFETCH(QString, first);
        RadioStationStore store([region]() -> std::optional<QString> {
            return region.isNull() ? std::nullopt : std::optional<QString>(region);
        });
        QCOMPARE(store.radioStations().size(), count);
        QCOMPARE(store.radioStations().first().name, first);
        QCOMPARE(store.radioStationsVariant().size(), count);
    }

    // The region is asked at every call; a station is found in either list.
    void regionPerCallAndLookupByExactId()
    {
        std::optional<QString> region = QStringLiteral("DE");
        RadioStationStore store([&region] { return region; });
        QCOMPARE(store.radioStations().size(), 163);
        region.reset();
        QCOMPARE(store.radioStations().size(), 12);
        QCOMPARE(store.station(QStringLiteral("s299053")).value().name,
                 QStringLiteral("Absolut Bella"));
        QCOMPARE(store.station(QStringLiteral("s38989")).value().frequency,
                 107.9); // in the US list
        QVERIFY(!store.station(QStringLiteral("S299053")));
        QVERIFY(!store.station(QString()));
    }
};

QTEST_GUILESS_MAIN(TestRadioStationStore)
#include "tst_radiostationstore.moc"
