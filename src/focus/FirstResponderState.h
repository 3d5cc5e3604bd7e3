#pragma once

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// The shared record of which field should hold the keyboard focus: an
// identity, or none. Program state writes it to move the focus; the focus
// controllers of the fields that share it write the user's focus changes back.
class FirstResponderState : public QObject {
    Q_OBJECT
    QML_ELEMENT
    // null when no field is to be focused
    Q_PROPERTY(QVariant value READ value WRITE setValue RESET clear NOTIFY valueChanged)

public:
    using QObject::QObject;

    // undefined and null both read as none
    QVariant value() const;
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }

    bool hasValue() const { return m_value.isValid(); }
    // Whether the value is this identity; none never is.
    bool holds(const QVariant& identity) const;

signals:
    void valueChanged();

private:
    QVariant m_value;
};
