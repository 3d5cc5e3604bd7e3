#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The maker's support page, opened in the user's browser from the station
// list and from the preferences panel.
class SupportPage : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString address READ address CONSTANT)

public:
    static constexpr char defaultAddress[] = "https://sondik.de/support.html";

    using QObject::QObject;

    static QString address() { return QString::fromLatin1(defaultAddress); }

    // Hands `address` to the desktop's default handler when it is a valid
    // absolute http(s) URL; returns whether the handler took it. Anything
    // else is left alone.
    static bool open(const QString& address);

    Q_INVOKABLE bool open() const { return open(address()); }
};
