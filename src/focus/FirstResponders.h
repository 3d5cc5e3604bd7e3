#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The fields of the program that can be given the keyboard focus. In QML the
// identities read as `FirstResponders.searchfield`.
class FirstResponders : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(int searchfield READ searchfieldRawValue CONSTANT)

public:
    enum Field : int {
        searchfield = 0,
    };

    using QObject::QObject;

    static constexpr std::optional<Field> fromRawValue(int rawValue)
    {
        if (rawValue == searchfield)
            return searchfield;
        return std::nullopt;
    }

private:
    int searchfieldRawValue() const { return searchfield; }
};
