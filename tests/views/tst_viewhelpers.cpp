// The views' C++ helpers: the station search, the list model it drives, the
// station's second line, the support page's address check and the string
// tables chosen by the environment.
#include "catalog/RadioStationStore.h"
#include "views/RadioStationListModel.h"
#include "views/RadioStationText.h"
#include "views/StationFilter.h"
#include "views/SupportPage.h"
#include "views/Translations.h"

#include <QAbstractItemModelTester>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <clocale>
#include <cstdio>

class TestViewHelpers : public QObject {
    Q_OBJECT

    QList<QUrl> opened;

    static QStringList idsOf(const QAbstractItemModel& model)
    {
        QStringList ids;
        for (int row = 0; row < model.rowCount(); ++row)
            ids.append(model.index(row, 0).data(RadioStationListModel::StationIdRole).toString());
        return ids;
    }

    static QStringList expectedIds(const QList<RadioStation>& stations, const QString& text)
    {
        QStringList ids;
        for (const RadioStation& station : stations) {
            if (StationFilter::matches(text, station.name))
                ids.append(station.id);
        }
        return ids;
    }

public slots:
    void open(const QUrl& url) { opened.append(url); }

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
        row("tabs are not removed", u"an\ttenne", u"Antenne", false);
        row("precomposed text, decomposed name", u"b\u00e4r", u"Radio Ba\u0308r", true);
        row("decomposed text, precomposed name", u"ba\u0308r", u"Radio B\u00e4r", true);
        row("decomposed upper case", u"BA\u0308R", u"Radio B\u00e4r", true);
        row("base letter is not the accented one", u"bar", u"Radio B\u00e4r", false);
        row("accented letter is not the base one", u"b\u00e4r", u"Radio Bar", false);
        // No precomposed q with diaeresis: the mark stays a character of its own.
        row("not half of a letter", u"radioq", u"Radio Q\u0308", false);
        row("the whole letter", u"radioq\u0308", u"Radio Q\u0308 FM", true);
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

    // Each new search text turns the rows into the filtered list, in the
    // store's order, by removing and inserting rows; a row that stays keeps
    // its index alive.
    void typingMovesRowsInsteadOfResetting()
    {
        RadioStationStore store([] { return std::optional(QStringLiteral("DE")); });
        RadioStationListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRadioStationStore(&store);
        const QList<RadioStation>& stations = store.radioStations();
        QCOMPARE(idsOf(model), expectedIds(stations, {}));

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy counts(&model, &RadioStationListModel::countChanged);
        QVERIFY(expectedIds(stations, QStringLiteral("antenne")).size() > 2);
        model.setSearchText(QStringLiteral("antenne"));
        const QPersistentModelIndex kept = model.index(1, 0);
        const QString keptId = kept.data(RadioStationListModel::StationIdRole).toString();

        QStringList texts{"antenne", "antenne b", "a", "ANTENNE", "zzz", "", " ", "e", "bayern"};
        // Only the name is searched: the first station's other fields find nothing of it.
        const RadioStation& first = stations.first();
        for (const QString& other : {first.id, first.subtitle, first.city}) {
            QVERIFY(!other.trimmed().isEmpty() && !StationFilter::matches(other, first.name));
            texts.append(other);
        }
        texts.append(QStringLiteral("antenne"));
        for (const QString& searchText : texts) {
            model.setSearchText(searchText);
            QCOMPARE(idsOf(model), expectedIds(stations, searchText));
            QCOMPARE(model.count(), model.rowCount());
        }
        QCOMPARE(resets.size(), 0);
        QVERIFY(counts.size() > 0);
        // "zzz" removed it and "antenne" brought it back: a new row.
        QVERIFY(!kept.isValid());

        const QPersistentModelIndex stays = model.index(1, 0);
        model.setSearchText(QStringLiteral("an"));
        QVERIFY(stays.isValid());
        QCOMPARE(stays.data(RadioStationListModel::StationIdRole).toString(), keptId);
        QCOMPARE(model.get(stays.row()).value<RadioStation>().id, keptId);
        QVERIFY(!model.get(model.count()).isValid());
    }

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

    void onlyAWebAddressIsHandedToTheBrowser_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("handed");
        QTest::newRow("the page") << SupportPage::address() << true;
        QTest::newRow("plain http") << "http://sondik.de/support.html" << true;
        QTest::newRow("no scheme") << "sondik.de/support.html" << false;
        QTest::newRow("a local file") << "file:///etc/passwd" << false;
        QTest::newRow("mail") << "mailto:help@sondik.de" << false;
        QTest::newRow("no host") << "https:///support.html" << false;
        QTest::newRow("not an address") << "https://so ndik.de/" << false;
        QTest::newRow("empty") << "" << false;
    }

    void onlyAWebAddressIsHandedToTheBrowser()
    {
        QFETCH(QString, address);
        QFETCH(bool, handed);
        const QStringList schemes{"http", "https", "file", "mailto"};
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
        opened.clear();
        const bool result = SupportPage::open(address);
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(result, handed);
        QCOMPARE(opened, handed ? QList<QUrl>{QUrl(address)} : QList<QUrl>{});
    }

    // The UI language is read from the environment when the application
    // starts, so every case runs this program again under its own variables.
    void languageFromEnvironment_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("shown");

        const QString banner = QStringLiteral("no-internet-connection");
        const QString german = QStringLiteral("Keine Internetverbindung");
        const QString english = QStringLiteral("No internet connection");
        QTest::newRow("LANGUAGE and LANG German")
            << QStringList{"LANGUAGE=de", "LANG=de_DE.UTF-8"} << banner << german;
        QTest::newRow("LANG German") << QStringList{"LANG=de_DE.UTF-8"} << banner << german;
        QTest::newRow("LC_MESSAGES over LANG")
            << QStringList{"LANG=en_US.UTF-8", "LC_MESSAGES=de_AT.UTF-8"} << banner << german;
        QTest::newRow("English") << QStringList{"LANG=en_US.UTF-8"} << banner << english;
        QTest::newRow("second choice of LANGUAGE")
            << QStringList{"LANGUAGE=fr:de", "LANG=fr_FR.UTF-8"} << banner << german;
        QTest::newRow("no table: English") << QStringList{"LANG=fr_FR.UTF-8"} << banner << english;
        QTest::newRow("C locale: English") << QStringList{"LANG=C"} << banner << english;
        QTest::newRow("id outside ASCII")
            << QStringList{"LANG=de_DE.UTF-8"} << QStringLiteral("Made with ♥ in Germany")
            << QStringLiteral("Mit ♥ in Deutschland gemacht");
        QTest::newRow("unknown id shows the id")
            << QStringList{"LANG=de_DE.UTF-8"} << QStringLiteral("no-such-id")
            << QStringLiteral("no-such-id");
    }

    void languageFromEnvironment()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, id);
        QFETCH(QString, shown);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(QString::fromLatin1(name));
        for (const QString& assignment : environment)
            env.insert(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--translate"), id});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), shown);
    }
};

int main(int argc, char** argv)
{
    // Child mode: the table chosen for this process's environment, asked for one id.
    if (argc == 3 && qstrcmp(argv[1], "--translate") == 0) {
        QCoreApplication application(argc, argv);
        if (!Translations::install(application))
            return 2;
        std::fputs(qtTrId(argv[2]).toUtf8().constData(), stdout);
        return 0;
    }
    QGuiApplication application(argc, argv);
    TestViewHelpers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewhelpers.moc"
