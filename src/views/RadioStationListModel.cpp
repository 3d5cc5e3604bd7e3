#include "RadioStationListModel.h"

#include "RadioStationText.h"
#include "catalog/RadioStationStore.h"

RadioStationListModel::RadioStationListModel(QObject* parent)
    : QAbstractListModel(parent)
{}

void RadioStationListModel::setRadioStationStore(RadioStationStore* store)
{
    const bool changed = m_store != store;
    m_store = store;
    if (changed) {
        const int before = count();
        beginResetModel();
        m_stations = store ? store->radioStations() : QList<RadioStation>();
        m_filter = StationFilter(m_stations);
        m_filter.apply(m_searchText, m_rows);
        endResetModel();
        if (count() != before)
            emit countChanged();
    }
    emit radioStationStoreChanged();
}

void RadioStationListModel::setSearchText(const QString& searchText)
{
    m_searchText = searchText;
    refilter();
    emit searchTextChanged();
}

void RadioStationListModel::refilter()
{
    const int before = count();
    m_filter.apply(m_searchText, m_next);
    // Both lists are ascending indices into the same list: one merge pass
    // turns the old rows into the new ones by runs of removals and insertions.
    qsizetype i = 0, j = 0;
    while (i < m_rows.size() || j < m_next.size()) {
        if (i < m_rows.size() && j < m_next.size() && m_rows.at(i) == m_next.at(j)) {
            ++i;
            ++j;
        } else if (j == m_next.size() || (i < m_rows.size() && m_rows.at(i) < m_next.at(j))) {
            qsizetype end = i;
            while (end < m_rows.size() && (j == m_next.size() || m_rows.at(end) < m_next.at(j)))
                ++end;
            beginRemoveRows({}, int(i), int(end - 1));
            m_rows.remove(i, end - i);
            endRemoveRows();
        } else {
            qsizetype end = j;
            while (end < m_next.size() && (i == m_rows.size() || m_next.at(end) < m_rows.at(i)))
                ++end;
            beginInsertRows({}, int(i), int(i + end - j - 1));
            for (qsizetype k = j; k < end; ++k)
                m_rows.insert(i + k - j, m_next.at(k));
            endInsertRows();
            i += end - j;
            j = end;
        }
    }
    if (count() != before)
        emit countChanged();
}

QVariant RadioStationListModel::get(int row) const
{
    if (row < 0 || row >= count())
        return {};
    return QVariant::fromValue(m_stations.at(m_rows.at(row)));
}

int RadioStationListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant RadioStationListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const RadioStation& station = m_stations.at(m_rows.at(index.row()));
    switch (role) {
    case RadioStationRole:
        return QVariant::fromValue(station);
    case StationIdRole:
        return station.id;
    case NameRole:
        return station.name;
    case SecondLineRole:
        return RadioStationText::secondLine(station.city, station.frequency);
    case ImageRole:
        return station.image;
    default:
        return {};
    }
}

QHash<int, QByteArray> RadioStationListModel::roleNames() const
{
    return {
        {RadioStationRole, "radioStation"}, {StationIdRole, "stationId"}, {NameRole, "name"},
        {SecondLineRole, "secondLine"},     {ImageRole, "image"},
    };
}
