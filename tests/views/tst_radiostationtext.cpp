#include "views/RadioStationText.h"

#include <QTest>

#include <clocale>

class TestRadioStationText : public QObject {
    Q_OBJECT

private slots:
    void secondLine_data()
    {
        QTest::addColumn<QString>("city");
        QTest::addColumn<std::optional<double>>("frequency");
        QTest::addColumn<QString>("expected");

        QTest::newRow("whole number") << "Berlin" << std::optional(88.0) << "Berlin 88.0 FM";
        QTest::newRow("one digit") << "Ismaning" << std::optional(103.6) << "Ismaning 103.6 FM";
        QTest::newRow("rounded to one digit") << "Köln" << std::optional(100.04) << "Köln 100.0 FM";
        QTest::newRow("no frequency") << "Frankfurt" << std::optional<double>() << "Frankfurt";
        QTest::newRow("placeholder in the city")
            << "%2 Stadt %1" << std::optional(90.1) << "%2 Stadt %1 90.1 FM";
    }

    void secondLine()
    {
        QFETCH(QString, city);
        QFETCH(std::optional<double>, frequency);
        QFETCH(QString, expected);
        QCOMPARE(RadioStationText::secondLine(city, frequency), expected);
    }

    void aGermanLocaleKeepsThePoint()
    {
        // Both the C library's and Qt's idea of the locale.
        const QLocale before;
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString line = RadioStationText::secondLine(QStringLiteral("Berlin"), 88.8);
        QLocale::setDefault(before);
        std::setlocale(LC_ALL, "C");
        QCOMPARE(line, QStringLiteral("Berlin 88.8 FM"));
    }
};

QTEST_GUILESS_MAIN(TestRadioStationText)
#include "tst_radiostationtext.moc"
