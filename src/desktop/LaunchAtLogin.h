#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Whether the program starts when the user logs in, as an XDG autostart entry
// named after the helper identifier. Nothing is cached: every read looks at
// the autostart folders again, so a change made elsewhere shows at once.
class LaunchAtLogin : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one LaunchAtLogin")
    // Notified after every write, whether or not it took: a view reads the
    // folders again then and shows what they hold.
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setIsEnabled NOTIFY isEnabledChanged)

public:
    // The argument the autostart entry passes, so the program knows it was
    // started at login.
    static constexpr const char* loginArgument = "--started-at-login";

    // `program` is the binary the entry starts; by default the running one.
    explicit LaunchAtLogin(QObject* parent = nullptr);
    LaunchAtLogin(const QString& program, QObject* parent = nullptr);
    ~LaunchAtLogin() override;

    // The application id followed by "-LaunchAtLoginHelper".
    static QString helperIdentifier();
    // $XDG_CONFIG_HOME/autostart/<helper identifier>.desktop
    static QString entryPath();
    // What the entry holds for the given program.
    static QByteArray entryContents(const QString& program);

    bool isEnabled() const;
    // A write that fails is logged; isEnabled() still tells what is on disk.
    void setIsEnabled(bool enabled);

signals:
    void isEnabledChanged();

private:
    // Whether the first autostart folder holding our entry has it enabled;
    // nothing when no folder holds it.
    static std::optional<bool> entryEnabled();
    static bool writeEnabled(const QString& program, bool enabled);

    QString m_program;
};
