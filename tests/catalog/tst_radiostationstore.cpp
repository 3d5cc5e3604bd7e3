#include "catalog/RadioStationStore.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>

class TestRadioStationStore : public QObject {
    Q_OBJECT

private slots:
    void regionOfLocaleName_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("region"); // null: none

        QTest::newRow("German") << "de_DE.UTF-8"
                                << "DE";
        QTest::newRow("American") << "en_US.UTF-8"
                                  << "US";
        QTest::newRow("French, no codeset") << "fr_FR"
                                            << "FR";
        QTest::newRow("Austrian with modifier") << "de_AT@euro"
                                                << "AT";
        QTest::newRow("Serbian, codeset and modifier") << "sr_RS.UTF-8@latin"
                                                       << "RS";
        QTest::newRow("three-letter language") << "ast_ES.UTF-8"
                                               << "ES";
        QTest::newRow("numeric region") << "es_419.UTF-8"
                                        << "419";
        QTest::newRow("C") << "C" << QString();
        QTest::newRow("C.UTF-8") << "C.UTF-8" << QString();
        QTest::newRow("POSIX") << "POSIX" << QString();
        QTest::newRow("unset") << "" << QString();
        QTest::newRow("language only") << "de" << QString();
        QTest::newRow("language and codeset") << "de.UTF-8" << QString();
        QTest::newRow("garbage") << "__/etc/passwd" << QString();
    }

    void regionOfLocaleName()
    {
        QFETCH(QString, locale);
        QFETCH(QString, region);
        const std::optional<QString> result = RadioStationStore::regionOfLocaleName(locale);
        QCOMPARE(result.has_value(), !region.isNull());
        if (result)
            QCOMPARE(*result, region);
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
        QTest::newRow("AT") << "AT" << 163 << "Absolut Bella";
        QTest::newRow("FR") << "FR" << 163 << "Absolut Bella";
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

    void regionIsAskedAtEveryCall()
    {
        std::optional<QString> region = QStringLiteral("DE");
        RadioStationStore store([&region] { return region; });
        QCOMPARE(store.radioStations().size(), 163);
        region.reset();
        QCOMPARE(store.radioStations().size(), 12);
    }

    void descriptionAndOptionalFields()
    {
        RadioStationStore store([] { return std::optional<QString>("DE"); });
        const std::optional<RadioStation> bella = store.station(QStringLiteral("s299053"));
        QVERIFY(bella);
        QVERIFY(!bella->frequency);
        QCOMPARE(bella->description(),
                 QStringLiteral("Absolut Bella - Lieblingssongs zum Wohlfühlen"));

        const std::optional<RadioStation> whta = store.station(QStringLiteral("s38989"));
        QVERIFY(whta);
        QVERIFY(!whta->streamUrl);
        QCOMPARE(whta->frequency, 107.9);

        // Station lookup is by exact id only.
        QVERIFY(!store.station(QStringLiteral("S299053")));
        QVERIFY(!store.station(QString()));
    }

    void stationIsReadableFromQml()
    {
        // QML reads stations through the gadget's properties: absent optionals
        // are undefined, present ones are plain values.
        RadioStationStore store([] { return std::optional<QString>("DE"); });
        const RadioStation whta = *store.station(QStringLiteral("s38989"));
        const RadioStation bella = *store.station(QStringLiteral("s299053"));
        const QMetaObject& meta = RadioStation::staticMetaObject;
        auto read = [&meta](const RadioStation& station, const char* name) {
            return meta.property(meta.indexOfProperty(name)).readOnGadget(&station);
        };
        QCOMPARE(read(whta, "id").toString(), QStringLiteral("s38989"));
        QVERIFY(!read(whta, "streamUrl").isValid());
        QCOMPARE(read(whta, "frequency").toDouble(), 107.9);
        QVERIFY(!read(bella, "frequency").isValid());
        QCOMPARE(read(bella, "streamUrl").toString(), *bella.streamUrl);
        QCOMPARE(read(bella, "description").toString(), bella.description());
    }
};

QTEST_GUILESS_MAIN(TestRadioStationStore)
#include "tst_radiostationstore.moc"
