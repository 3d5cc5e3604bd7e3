#include "catalog/RadioStationStore.h"
#include "views/RadioStationListModel.h"
#include "views/StationFilter.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class TestRadioStationListModel : public QObject {
    Q_OBJECT

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

private slots:
    // Each new search text turns the rows into the filtered list by removing
    // and inserting rows; a row that stays keeps its index alive.
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
        const int antenne = int(expectedIds(stations, QStringLiteral("antenne")).size());
        QVERIFY(antenne > 2);
        model.setSearchText(QStringLiteral("antenne"));
        const QPersistentModelIndex kept = model.index(1, 0);
        const QString keptId = kept.data(RadioStationListModel::StationIdRole).toString();

        for (const char* text :
             {"antenne", "antenne b", "a", "ANTENNE", "zzz", "", " ", "e", "bayern", "antenne"}) {
            const QString searchText = QString::fromUtf8(text);
            model.setSearchText(searchText);
            QCOMPARE(idsOf(model), expectedIds(stations, searchText));
            QCOMPARE(model.count(), model.rowCount());
        }
        QCOMPARE(resets.size(), 0);
        QVERIFY(counts.size() > 0);
        // "zzz" removed it and "antenne" brought it back: a new row.
        QVERIFY(!kept.isValid());

        model.setSearchText(QStringLiteral("antenne"));
        const QPersistentModelIndex stays = model.index(1, 0);
        model.setSearchText(QStringLiteral("an"));
        QVERIFY(stays.isValid());
        QCOMPARE(stays.data(RadioStationListModel::StationIdRole).toString(), keptId);
        QCOMPARE(model.get(stays.row()).value<RadioStation>().id, keptId);
        QVERIFY(!model.get(model.count()).isValid());
    }
};

QTEST_GUILESS_MAIN(TestRadioStationListModel)
#include "tst_radiostationlistmodel.moc"
