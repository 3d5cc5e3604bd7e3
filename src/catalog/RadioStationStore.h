#pragma once

#include "RadioStation.h"

#include <QList>
#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

// The built-in catalog: the Germany and the United States lists, and the
// choice of the list to show from the user's locale.
class RadioStationStore : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one RadioStationStore")
    Q_PROPERTY(QVariantList radioStations_GE READ radioStationsGEVariant CONSTANT)
    Q_PROPERTY(QVariantList radioStations_US READ radioStationsUSVariant CONSTANT)

public:
    // Returns the two-letter region of the user's locale, or nothing.
    using RegionSource = std::function<std::optional<QString>()>;

    explicit RadioStationStore(QObject* parent = nullptr);
    RadioStationStore(RegionSource regionSource, QObject* parent = nullptr);

    const QList<RadioStation>& radioStations_GE() const { return m_radioStations_GE; }
    const QList<RadioStation>& radioStations_US() const { return m_radioStations_US; }

    // The list to show: Germany whenever the locale has a region, else the
    // United States. Asks the region afresh at every call.
    const QList<RadioStation>& radioStations() const;
    Q_INVOKABLE QVariantList radioStationsVariant() const;

    // The station with exactly this id in either list.
    std::optional<RadioStation> station(const QString& id) const;

    // Region of a POSIX locale name: "de_DE.UTF-8" -> "DE"; "C", "POSIX",
    // "" and a language without territory have none.
    static std::optional<QString> regionOfLocaleName(const QString& localeName);
    // Region of the locale named by LC_ALL, else LANG.
    static std::optional<QString> regionOfEnvironment();

private:
    QVariantList radioStationsGEVariant() const;
    QVariantList radioStationsUSVariant() const;

    RegionSource m_regionSource;
    QList<RadioStation> m_radioStations_GE;
    QList<RadioStation> m_radioStations_US;
};
