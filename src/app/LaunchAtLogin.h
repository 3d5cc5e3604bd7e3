#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>
#include <vector>

// Whether the program starts when the user logs in, as an XDG autostart entry
// named after the helper identifier. Nothing is cached: every read looks at
// the autostart folders again, so a change made elsewhere shows at once.
class LaunchAtLogin : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one LaunchAtLogin")
    // NOTIFY is the did-change announcement; a view re-reads the folders then.
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
    // Announces, writes, announces, publishes `enabled` whether or not the
    // write took; the next read shows what the folders hold.
    void setIsEnabled(bool enabled);

    // The subscriber gets the current value at once, then every value written.
    // It stays subscribed for the life of `context`.
    void subscribe(QObject* context, std::function<void(bool)> subscriber);

signals:
    // In this order on every write: willChange, isEnabledWillChange, the
    // write itself, isEnabledChanged, published(enabled).
    void willChange();
    void isEnabledWillChange();
    void isEnabledChanged();
    void published(bool enabled);

private:
    struct Job {
        QString label;
        std::optional<bool> onDemand;
    };
    // The autostart entries, the user's folder first, each name once.
    static std::vector<Job> jobs();
    static bool writeEnabled(const QString& program, bool enabled);

    QString m_program;
    std::optional<bool> m_subjectValue; // created on first subscription
};
