#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// One station of the built-in catalog. A plain value: copies are independent.
class RadioStation {
    Q_GADGET
    QML_VALUE_TYPE(radioStation)
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString subtitle MEMBER subtitle CONSTANT)
    Q_PROPERTY(QString city MEMBER city CONSTANT)
    // undefined in QML when the station has no dial frequency
    Q_PROPERTY(QVariant frequency READ frequencyValue CONSTANT)
    Q_PROPERTY(QString image MEMBER image CONSTANT)
    // undefined in QML when the stream is found through the tune service
    Q_PROPERTY(QVariant streamUrl READ streamUrlValue CONSTANT)
    Q_PROPERTY(QString description READ description CONSTANT)

public:
    QString id;
    QString name;
    QString subtitle;
    QString city;
    std::optional<double> frequency; // MHz for FM, kHz for AM
    QString image;
    std::optional<QString> streamUrl;

    // "name - subtitle"
    QString description() const;

    QVariant frequencyValue() const;
    QVariant streamUrlValue() const;

    friend bool operator==(const RadioStation&, const RadioStation&) = default;
};

Q_DECLARE_METATYPE(RadioStation)
