#pragma once

#include <QString>

#include <optional>

// The texts a station row shows beside its name.
class RadioStationText {
public:
    // One digit after a point, whatever the user's locale: 88 -> "88.0".
    static QString frequency(double frequency);
    // The city, then the frequency and " FM" through the translated pattern
    // "%1 %2 FM", or for AM (500 and up, in kHz) " AM" through "%1 %2 AM";
    // the city alone for a station without a frequency.
    static QString secondLine(const QString& city, std::optional<double> frequency);
};
