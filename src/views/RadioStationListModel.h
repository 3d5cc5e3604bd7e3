#pragma once

#include "StationFilter.h"
#include "catalog/RadioStation.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class RadioStationStore;

// The stations of the user's region that the search text keeps, in the
// store's order, for the list's rows. A new search text removes and inserts
// rows rather than resetting the model, so a row that stays keeps its delegate
// and its state: rows are keyed by station.
class RadioStationListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(RadioStationStore* radioStationStore READ radioStationStore WRITE
                   setRadioStationStore NOTIFY radioStationStoreChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        RadioStationRole = Qt::UserRole + 1, // the RadioStation value
        StationIdRole,
        NameRole,
        SecondLineRole,
        ImageRole,
    };

    explicit RadioStationListModel(QObject* parent = nullptr);

    RadioStationStore* radioStationStore() const { return m_store; }
    void setRadioStationStore(RadioStationStore* store);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& searchText);
    int count() const { return int(m_rows.size()); }

    // The station at `row`, or an invalid value.
    Q_INVOKABLE QVariant get(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void radioStationStoreChanged();
    void searchTextChanged();
    void countChanged();

private:
    void refilter();

    QPointer<RadioStationStore> m_store;
    QString m_searchText;
    QList<RadioStation> m_stations; // the region's list
    StationFilter m_filter;
    QList<int> m_rows; // indices into m_stations, shown in this order
    QList<int> m_next; // kept between filterings to reuse its storage
};
