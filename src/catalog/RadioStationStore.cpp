#include "RadioStationStore.h"

#include "RadioStationRow.h"

#include <QRegularExpression>

namespace {

QList<RadioStation> stationsOf(std::span<const RadioStationRow> table)
{
    QList<RadioStation> stations;
    stations.reserve(qsizetype(table.size()));
    for (const RadioStationRow& row : table) {
        stations.append(RadioStation{
            QString::fromUtf8(row.id),
            QString::fromUtf8(row.name),
            QString::fromUtf8(row.subtitle),
            QString::fromUtf8(row.city),
            row.frequency,
            QString::fromUtf8(row.image),
            row.streamUrl ? std::optional<QString>(QString::fromUtf8(row.streamUrl)) : std::nullopt,
        });
    }
    return stations;
}

QVariantList toVariantList(const QList<RadioStation>& stations)
{
    QVariantList list;
    list.reserve(stations.size());
    for (const RadioStation& station : stations)
        list.append(QVariant::fromValue(station));
    return list;
}

} // namespace

RadioStationStore::RadioStationStore(QObject* parent)
    : RadioStationStore(&RadioStationStore::regionOfEnvironment, parent)
{}

RadioStationStore::RadioStationStore(RegionSource regionSource, QObject* parent)
    : QObject(parent)
    , m_regionSource(std::move(regionSource))
    , m_radioStations_GE(stationsOf(radioStationTable_GE()))
    , m_radioStations_US(stationsOf(radioStationTable_US()))
{}

const QList<RadioStation>& RadioStationStore::radioStations() const
{
    return m_regionSource() ? m_radioStations_GE : m_radioStations_US;
}

QVariantList RadioStationStore::radioStationsVariant() const
{
    return toVariantList(radioStations());
}

QVariantList RadioStationStore::radioStationsGEVariant() const
{
    return toVariantList(m_radioStations_GE);
}

QVariantList RadioStationStore::radioStationsUSVariant() const
{
    return toVariantList(m_radioStations_US);
}

std::optional<RadioStation> RadioStationStore::station(const QString& id) const
{
    for (const auto* list : {&m_radioStations_GE, &m_radioStations_US}) {
        for (const RadioStation& station : *list) {
            if (station.id == id)
                return station;
        }
    }
    return std::nullopt;
}

std::optional<QString> RadioStationStore::regionOfLocaleName(const QString& localeName)
{
    // language[_territory][.codeset][@modifier]
    static const QRegularExpression pattern(
        QStringLiteral("^[A-Za-z]{2,3}_([A-Za-z]{2}|[0-9]{3})(?:\\.[^@]*)?(?:@.*)?$"));
    const QRegularExpressionMatch match = pattern.match(localeName);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toUpper();
}

std::optional<QString> RadioStationStore::regionOfEnvironment()
{
    QString name = qEnvironmentVariable("LC_ALL");
    if (name.isEmpty())
        name = qEnvironmentVariable("LANG");
    return regionOfLocaleName(name);
}
