#include "RadioStation.h"

QString RadioStation::description() const
{
    return name + QLatin1String(" - ") + subtitle;
}

QVariant RadioStation::frequencyValue() const
{
    return frequency ? QVariant(*frequency) : QVariant();
}

QVariant RadioStation::streamUrlValue() const
{
    return streamUrl ? QVariant(*streamUrl) : QVariant();
}
