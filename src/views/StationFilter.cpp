#include "StationFilter.h"

StationFilter::StationFilter(const QList<RadioStation>& stations)
{
    m_keys.reserve(stations.size());
    for (const RadioStation& station : stations)
        m_keys.append(searchKey(station.name));
}

QString StationFilter::searchKey(QStringView text)
{
    QString key = text.toString().toLower();
    key.remove(QLatin1Char(' '));
    return key.normalized(QString::NormalizationForm_C);
}

bool StationFilter::contains(QStringView key, QStringView query)
{
    if (query.isEmpty())
        return false;
    for (qsizetype at = key.indexOf(query); at >= 0; at = key.indexOf(query, at + 1)) {
        const qsizetype end = at + query.size();
        if (end == key.size() || !key.at(end).isMark())
            return true;
    }
    return false;
}

bool StationFilter::matches(const QString& searchText, const QString& name)
{
    if (searchText.isEmpty())
        return true;
    return contains(searchKey(name), searchKey(searchText));
}

void StationFilter::apply(const QString& searchText, QList<int>& rows) const
{
    rows.clear();
    rows.reserve(m_keys.size());
    if (searchText.isEmpty()) {
        for (int row = 0; row < int(m_keys.size()); ++row)
            rows.append(row);
        return;
    }
    const QString query = searchKey(searchText);
    for (int row = 0; row < int(m_keys.size()); ++row) {
        if (contains(m_keys.at(row), query))
            rows.append(row);
    }
}
