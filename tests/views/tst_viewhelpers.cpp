// The views' C++ helpers: the station search, the list model it drives, the
// station's second line, the string tables chosen by the locale and the
// support page's opener.
#include "catalog/RadioStationStore.h"
#include "views/RadioStationListModel.h"
#include "views/RadioStationText.h"
#include "views/StationFilter.h"
#include "views/SupportPage.h"
#include "views/Translations.h"

#include <QAbstractItemModelTester>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <clocale>

class TestViewHelpers : public QObject {
    Q_OBJECT

public slots:
    // The desktop's browser, as far as the support page can tell.
    void openInBrowser(const QUrl& url) { m_opened.append(url); }

private:
    QList<QUrl> m_opened;

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        const auto row = [](const char* tag, const char16_t* searchText, const char16_t* name,
                            bool kept) {
            QTest::newRow(tag) << QString::fromUtf16(searchText) << QString::fromUtf16(name)
                               << kept;
        };
        row("any case", u"aNtEnNe", u"ANTENNE BAYERN", true);
        row("name without its spaces", u"antennebayern", u"ANTENNE BAYERN", true);
        row("spaces in the text", u" antenne  bay ern ", u"AntenneBayern", true);
        row("run across a space", u"ebay", u"Antenne Bayern", true);
        row("no run", u"bayernantenne", u"Antenne Bayern", false);
        row("empty text keeps", u"", u"Antenne", true);
        row("spaces only keep nothing", u"   ", u"Antenne", false);
        row("precomposed text, decomposed name", u"b\u00e4r", u"Radio Ba\u0308r", true);
        row("decomposed text, precomposed name", u"ba\u0308r", u"Radio B\u00e4r", true);
        row("base letter is not the accented one", u"bar", u"Radio B\u00e4r", false);
        // No precomposed q with diaeresis: the mark stays a character of its own.
        row("not half of a letter", u"radioq", u"Radio Q\u0308", false);
        // Full lower-case mapping: U+0130 becomes i with a combining dot.
        row("full mapping", u"istanbul", u"\u0130stanbul", false);
        row("full mapping, both sides", u"\u0130ST", u"\u0130stanbul FM", true);
        // The test runs in a Turkish locale, which lowers "I" to dotless i.
        row("locale ignored", u"RADIO", u"radio", true);
    }

    void matches()
    {
        QFETCH(QString, searchText);
        QFETCH(QString, name);
        QFETCH(bool, kept);
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        const bool result = StationFilter::matches(searchText, name);
        QLocale::setDefault(before);
        QCOMPARE(result, kept);
    }

    // Each search text turns the rows into the stations whose names match, in
    // the store's order, by moving rows: a reset would lose the list's place.
    void typingFiltersWithoutResetting()
    {
        RadioStationStore store([] { return std::optional(QStringLiteral("DE")); });
        RadioStationListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRadioStationStore(&store);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        // Only the name is searched.
        const RadioStation& first = store.radioStations().first();
        QVERIFY(!StationFilter::matches(first.city, first.name));
        for (const QString& text :
             {QStringLiteral("antenne"), QStringLiteral("ANTENNE B"), QStringLiteral("zzz"),
              QString(), QStringLiteral("e"), first.city}) {
            model.setSearchText(text);
            QStringList shown, expected;
            for (int row = 0; row < model.rowCount(); ++row)
                shown.append(
                    model.index(row, 0).data(RadioStationListModel::StationIdRole).toString());
            for (const RadioStation& station : store.radioStations()) {
                if (StationFilter::matches(text, station.name))
                    expected.append(station.id);
            }
            QCOMPARE(shown, expected);
        }
        QCOMPARE(resets.size(), 0);
    }

    void secondLine_data()
    {
        QTest::addColumn<QString>("city");
        QTest::addColumn<std::optional<double>>("frequency");
        QTest::addColumn<QString>("expected");

        QTest::newRow("whole number") << "Berlin" << std::optional(88.0) << "Berlin 88.0 FM";
        QTest::newRow("rounded to one digit") << "Köln" << std::optional(100.04) << "Köln 100.0 FM";
        QTest::newRow("no frequency") << "Frankfurt" << std::optional<double>() << "Frankfurt";
        QTest::newRow("AM, in kHz")
            << "Boston, Massachusetts" << std::optional(1030.0) << "Boston, Massachusetts 1030 AM";
        QTest::newRow("highest FM") << "Berlin" << std::optional(108.0) << "Berlin 108.0 FM";
        QTest::newRow("placeholder in the city")
            << "%2 Stadt %1" << std::optional(90.1) << "%2 Stadt %1 90.1 FM";
    }

    // A German locale, of the C library and of Qt, keeps the point.
    void secondLine()
    {
        QFETCH(QString, city);
        QFETCH(std::optional<double>, frequency);
        QFETCH(QString, expected);
        const QLocale before;
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString line = RadioStationText::secondLine(city, frequency);
        QLocale::setDefault(before);
        std::setlocale(LC_ALL, "C");
        QCOMPARE(line, expected);
    }

    // The table of the user's language, else the English one.
    void translations_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("shown");
        QTest::newRow("German") << "de_DE"
                                << "no-internet-connection"
                                << "Keine Internetverbindung";
        QTest::newRow("no table: English") << "fr_FR"
                                           << "no-internet-connection"
                                           << "No internet connection";
        QTest::newRow("id outside ASCII") << "de_AT" << QStringLiteral("Made with ♥ in Germany")
                                          << QStringLiteral("Mit ♥ in Deutschland gemacht");
        QTest::newRow("a station given up on") << "de_DE"
                                               << "unreachable"
                                               << "Gerade nicht erreichbar";
    }

    void translations()
    {
        QFETCH(QString, locale);
        QFETCH(QString, id);
        QFETCH(QString, shown);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        QTranslator* translator = Translations::install(*QCoreApplication::instance());
        QLocale::setDefault(before);
        QVERIFY(translator);
        const QString text = qtTrId(id.toUtf8().constData());
        QCoreApplication::removeTranslator(translator);
        delete translator;
        QCOMPARE(text, shown);
    }

    // Only web addresses go to the browser; no browser to take one is a
    // failure, not a success.
    void supportPage()
    {
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        for (const char* variable : {"BROWSER", "DEFAULT_BROWSER"})
            qunsetenv(variable);
        const bool opened = SupportPage::open(SupportPage::address());
        qputenv("PATH", path);
        QVERIFY(!opened);

        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openInBrowser");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openInBrowser");
        QVERIFY(SupportPage::open(SupportPage::address()));
        QVERIFY(!SupportPage::open(QStringLiteral("file:///etc/passwd")));
        QVERIFY(!SupportPage::open(QStringLiteral("https:relative")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(m_opened, QList<QUrl>{QUrl(SupportPage::address())});
    }
};

QTEST_MAIN(TestViewHelpers)
#include "tst_viewhelpers.moc"
