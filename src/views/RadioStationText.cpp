#include "RadioStationText.h"

#include <QCoreApplication>

namespace {
// No FM band reaches 500 MHz: such a number is an AM station's kHz.
constexpr double amFrom = 500.0;
} // namespace

QString RadioStationText::frequency(double frequency)
{
    // QString::number ignores the locale, unlike QLocale::toString.
    return QString::number(frequency, 'f', frequency >= amFrom ? 0 : 1);
}

QString RadioStationText::secondLine(const QString& city, std::optional<double> frequency)
{
    if (!frequency)
        return city;
    // Both arguments in one pass: a "%2" inside a city name stays as it is.
    if (*frequency >= amFrom)
        //: The second line of an AM station's row: %1 the city, %2 the frequency in kHz.
        return qtTrId("%1 %2 AM").arg(city, RadioStationText::frequency(*frequency));
    //: The second line of a station row: %1 the city, %2 the frequency in MHz.
    return qtTrId("%1 %2 FM").arg(city, RadioStationText::frequency(*frequency));
}
