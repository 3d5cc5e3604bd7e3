#include "views/StationFilter.h"

#include <QTest>

class TestStationFilter : public QObject {
    Q_OBJECT

    static RadioStation named(const QString& name, const QString& subtitle = {},
                              const QString& city = {}, const QString& id = {})
    {
        return RadioStation{id, name, subtitle, city, std::nullopt, {}, std::nullopt};
    }

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");

        const QString composed = QStringLiteral("Radio B\u00e4r");
        const QString decomposed = QStringLiteral("Radio Ba\u0308r");
        QTest::newRow("any case") << "aNtEnNe"
                                  << "ANTENNE BAYERN" << true;
        QTest::newRow("upper-case text") << "BAYERN"
                                         << "Antenne Bayern" << true;
        QTest::newRow("name without its spaces") << "antennebayern"
                                                 << "ANTENNE BAYERN" << true;
        QTest::newRow("spaces in the text") << " antenne  bay ern "
                                            << "AntenneBayern" << true;
        QTest::newRow("run across a space") << "ebay"
                                            << "Antenne Bayern" << true;
        QTest::newRow("no run") << "bayernantenne"
                                << "Antenne Bayern" << false;
        QTest::newRow("empty text keeps") << ""
                                          << "Antenne" << true;
        QTest::newRow("spaces only keep nothing") << "   "
                                                  << "Antenne" << false;
        QTest::newRow("tabs are not removed") << "an\ttenne"
                                              << "Antenne" << false;
        QTest::newRow("precomposed text, decomposed name") << "b\u00e4r" << decomposed << true;
        QTest::newRow("decomposed text, precomposed name") << "ba\u0308r" << composed << true;
        QTest::newRow("decomposed upper case") << "BA\u0308R" << composed << true;
        QTest::newRow("base letter is not the accented one") << "bar" << composed << false;
        // No precomposed q with diaeresis: the mark stays a character of its own.
        QTest::newRow("not half of a letter") << "radioq"
                                              << "Radio Q\u0308" << false;
        QTest::newRow("the whole letter") << "radioq\u0308"
                                          << "Radio Q\u0308 FM" << true;
        QTest::newRow("accented letter is not the base one") << "b\u00e4r"
                                                             << "Radio Bar" << false;
        // Full lower-case mapping: U+0130 becomes i with a combining dot.
        QTest::newRow("full mapping") << "istanbul"
                                      << "\u0130stanbul" << false;
        QTest::newRow("full mapping, both sides") << "\u0130ST"
                                                  << "\u0130stanbul FM" << true;
    }

    void matches()
    {
        QFETCH(QString, searchText);
        QFETCH(QString, name);
        QFETCH(bool, kept);
        QCOMPARE(StationFilter::matches(searchText, name), kept);
    }

    void lowerCaseIgnoresTheLocale()
    {
        // A Turkish locale lowers "I" to dotless i; the search does not.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        const bool kept = StationFilter::matches(QStringLiteral("RADIO"), QStringLiteral("radio"));
        QLocale::setDefault(before);
        QVERIFY(kept);
    }

    void onlyTheNameIsSearchedAndTheOrderIsKept()
    {
        const QList<RadioStation> stations{
            named(QStringLiteral("Rock Eins"), QStringLiteral("Pop"), QStringLiteral("Köln"),
                  QStringLiteral("s1")),
            named(QStringLiteral("Jazz"), QStringLiteral("Rock"), QStringLiteral("Rockstadt"),
                  QStringLiteral("rock")),
            named(QStringLiteral("Rock Zwei")),
        };
        const StationFilter filter(stations);
        QList<int> rows;
        filter.apply(QStringLiteral("rock"), rows);
        QCOMPARE(rows, (QList<int>{0, 2}));
        for (const char* other : {"pop", "köln", "s1"}) {
            filter.apply(QString::fromUtf8(other), rows);
            QVERIFY2(rows.isEmpty(), other);
        }
        filter.apply(QString(), rows);
        QCOMPARE(rows, (QList<int>{0, 1, 2}));
        filter.apply(QStringLiteral(" "), rows);
        QVERIFY(rows.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStationFilter)
#include "tst_stationfilter.moc"
