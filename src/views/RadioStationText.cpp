#include "RadioStationText.h"

#include <QCoreApplication>

QString RadioStationText::frequency(double frequency)
{
    // QString::number ignores the locale, unlike QLocale::toString.
    return QString::number(frequency, 'f', 1);
}

QString RadioStationText::secondLine(const QString& city, std::optional<double> frequency)
{
    if (!frequency)
        return city;
    // Both arguments in one pass: a "%2" inside a city name stays as it is.
    //: The second line of a station row: %1 the city, %2 the frequency.
    return qtTrId("%1 %2 FM").arg(city, RadioStationText::frequency(*frequency));
}
