#include "catalog/RadioStationStore.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// The stream form of a URL, from the end of its path (query left out).
QString streamForm(const std::optional<QString>& url)
{
    if (!url)
        return QStringLiteral("tune");
    const QString path = url->section(QLatin1Char('?'), 0, 0);
    for (const char* ext : {"m3u8", "m3u", "mp3", "aac"}) {
        if (path.endsWith(QLatin1Char('.') + QLatin1String(ext)))
            return QString::fromLatin1(ext);
    }
    return QStringLiteral("direct");
}

QMap<QString, int> formCounts(const QList<RadioStation>& stations)
{
    QMap<QString, int> counts;
    for (const RadioStation& station : stations)
        ++counts[streamForm(station.streamUrl)];
    return counts;
}

QList<int> rowsWhere(const QList<RadioStation>& stations,
                     const std::function<bool(const RadioStation&)>& predicate)
{
    QList<int> rows;
    for (int i = 0; i < stations.size(); ++i) {
        if (predicate(stations[i]))
            rows.append(i + 1);
    }
    return rows;
}

} // namespace

class TestRadioStationTables : public QObject {
    Q_OBJECT

    RadioStationStore store{[] {
        return std::optional<QString>("DE");
    }};
    const QList<RadioStation>& ge = store.radioStations_GE();
    const QList<RadioStation>& us = store.radioStations_US();

private slots:
    void countsAndEnds()
    {
        QCOMPARE(ge.size(), 163);
        QCOMPARE(us.size(), 12);
        QCOMPARE(ge.first().id, QStringLiteral("s299053"));
        QCOMPARE(ge.first().name, QStringLiteral("Absolut Bella"));
        QCOMPARE(ge.last().id, QStringLiteral("s85104"));
        QCOMPARE(ge.last().name, QStringLiteral("917XFM"));
        QCOMPARE(us.first().name, QStringLiteral("ESPN New York 98.7 FM"));
        QCOMPARE(us.last().name, QStringLiteral("102.7 KIIS FM"));
    }

    void idsAreUniqueAndOfTuneServiceForm()
    {
        QSet<QString> ids;
        QStringList words;
        const QRegularExpression tuneId(QStringLiteral("^s[0-9]+$"));
        for (const auto* list : {&ge, &us}) {
            for (const RadioStation& station : *list) {
                QVERIFY2(!ids.contains(station.id), qPrintable(station.id));
                ids.insert(station.id);
                if (!tuneId.match(station.id).hasMatch())
                    words.append(station.id);
            }
        }
        QCOMPARE(words, QStringList({"br24live", "gayfmid", "wbznewsradioid"}));
    }

    void streamFormsPerList()
    {
        const QMap<QString, int> germany{{"m3u", 52}, {"mp3", 41}, {"aac", 9}, {"direct", 61}};
        const QMap<QString, int> unitedStates{{"m3u8", 4}, {"direct", 7}, {"tune", 1}};
        QCOMPARE(formCounts(ge), germany);
        QCOMPARE(formCounts(us), unitedStates);
    }

    void specialStreamUrls()
    {
        // Only United States row 4 goes through the tune service.
        QCOMPARE(rowsWhere(us, [](auto& s) { return !s.streamUrl; }), QList<int>{4});
        QCOMPARE(us[3].id, QStringLiteral("s38989"));
        QVERIFY(rowsWhere(ge, [](auto& s) { return !s.streamUrl; }).isEmpty());

        // Row 140 is stored without a scheme; every other URL has http(s).
        const QRegularExpression scheme(QStringLiteral("^https?://[^/?#\\s]+"));
        auto noScheme = [&](const RadioStation& s) {
            return s.streamUrl && !scheme.match(*s.streamUrl).hasMatch();
        };
        QCOMPARE(rowsWhere(ge, noScheme), QList<int>{140});
        QVERIFY(ge[139].streamUrl->startsWith(QLatin1String("listen.technobase.fm/")));
        QVERIFY(rowsWhere(us, noScheme).isEmpty());

        // Rows 45 and 94 carry a query string; no other row does.
        auto hasQuery = [](const RadioStation& s) {
            return s.streamUrl && s.streamUrl->contains(QLatin1Char('?'));
        };
        QCOMPARE(rowsWhere(ge, hasQuery), QList<int>({45, 94}));
        QVERIFY(rowsWhere(us, hasQuery).isEmpty());

        // No blanks or control characters sneak into an address.
        for (const auto* list : {&ge, &us}) {
            for (const RadioStation& s : *list) {
                if (s.streamUrl)
                    QVERIFY2(!s.streamUrl->contains(QRegularExpression("\\s")), qPrintable(s.id));
            }
        }
    }

    void subtitles()
    {
        const QList<int> emptyGermany{16, 31, 37,  39,  40,  46,  70,  71,  75,  80,  88, 96,
                                      98, 99, 101, 107, 118, 129, 138, 139, 143, 145, 162};
        auto empty = [](const RadioStation& s) {
            return s.subtitle.isEmpty();
        };
        QCOMPARE(rowsWhere(ge, empty), emptyGermany);
        QCOMPARE(rowsWhere(us, empty), QList<int>{1});

        QCOMPARE(ge[1].subtitle, QStringLiteral("Hot Hits der letzten zwei Jahre"));
        QCOMPARE(ge[7].subtitle, QStringLiteral("Der Sound eures Lebens"));
        QCOMPARE(us[1].subtitle, QStringLiteral("News, traffic, weather"));
        QCOMPARE(us[5].subtitle, QStringLiteral("Detroit's #1 Hit Music Station"));
        QCOMPARE(us[11].subtitle, QStringLiteral("Los Angeles' #1 Hit Music Station "));

        // Otherwise one clean line each.
        auto untidy = [](const RadioStation& s) {
            return s.subtitle != s.subtitle.trimmed() || s.subtitle.contains(QLatin1Char('\n'));
        };
        QVERIFY(rowsWhere(ge, untidy).isEmpty());
        QCOMPARE(rowsWhere(us, untidy), QList<int>{12});
    }

    void frequencies()
    {
        QCOMPARE(rowsWhere(ge, [](auto& s) { return !s.frequency; }).size(), 44);
        QVERIFY(rowsWhere(us, [](auto& s) { return !s.frequency; }).isEmpty());
        QCOMPARE(us[2].frequency, 1030.0);
        QCOMPARE(us[8].frequency, 1340.0);
        // FM dials in MHz everywhere else.
        auto fm = [](const RadioStation& s) {
            return s.frequency && *s.frequency >= 87.5 && *s.frequency <= 108.0;
        };
        QCOMPARE(rowsWhere(ge, fm).size(), 163 - 44);
        QCOMPARE(rowsWhere(us, fm).size(), 10);
        QCOMPARE(ge[6].frequency, 103.3); // ANTENNE BAYERN
        QCOMPARE(ge[77].frequency, 90.3); // NDR 90,3
    }

    void sharedLogosAndNames()
    {
        const QList<std::pair<QString, QList<int>>> shared{
            {"br24", {25, 26}},         {"mdrsachsen", {65, 66}},
            {"radiobob", {97, 98, 99}}, {"radioregenbogen", {110, 121}},
            {"swr1", {134, 135}},       {"swr4", {138, 139}},
            {"wdr2", {146, 147}},
        };
        for (const auto& [image, rows] : shared)
            QCOMPARE(rowsWhere(ge, [&](auto& s) { return s.image == image; }), rows);

        QMap<QString, int> uses;
        for (const RadioStation& s : ge + us)
            ++uses[s.image];
        int sharedNames = 0;
        for (int count : uses)
            sharedNames += count > 1;
        QCOMPARE(sharedNames, shared.size());

        QCOMPARE(ge[64].name, QStringLiteral("MDR Sachsen"));
        QCOMPARE(ge[65].name, QStringLiteral("MDR Sachsen"));
        QVERIFY(ge[64].id != ge[65].id);
        QCOMPARE(ge[64].city, QStringLiteral("Dresden"));
        QCOMPARE(ge[65].city, QStringLiteral("Chemnitz"));
    }

    void textIsUnicode()
    {
        QCOMPARE(ge[13].name, QStringLiteral("ANTENNE MÜNSTER"));
        QCOMPARE(ge[13].image, QStringLiteral("antennemuenster"));
        QCOMPARE(ge[53].name, QStringLiteral("Hitradio Ö3"));
        QCOMPARE(ge[160].name, QString::fromUtf8("105\u2019"
                                                 "5 Spreeradio"));
        QCOMPARE(ge[12].city, QStringLiteral("Düsseldorf"));
    }
};

QTEST_GUILESS_MAIN(TestRadioStationTables)
#include "tst_radiostationtables.moc"
