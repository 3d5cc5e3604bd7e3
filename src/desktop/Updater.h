#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// Looks up the newest release in the build's appcast and says whether it is
// newer than the running version. It only reads the feed: the user opens the
// download page in the browser if they want it.
class Updater : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the one Updater")
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(Failure failure READ failure NOTIFY stateChanged)
    Q_PROPERTY(QString currentVersion READ currentVersion CONSTANT)
    Q_PROPERTY(QString latestVersion READ latestVersion NOTIFY stateChanged)
    Q_PROPERTY(QUrl releaseNotes READ releaseNotes NOTIFY stateChanged)
    Q_PROPERTY(QUrl downloadPage READ downloadPage NOTIFY stateChanged)
    // What to tell the user about the last check.
    Q_PROPERTY(QString message READ message NOTIFY stateChanged)

public:
    enum class State { Idle, Checking, UpdateAvailable, UpToDate, Failed };
    Q_ENUM(State)
    enum class Failure { None, Network, TimedOut, TooLarge, NotAppcast, NoItems, NoVersion };
    Q_ENUM(Failure)

    static constexpr std::chrono::milliseconds defaultTimeout{20000};

    Updater(const QUrl& appcast, const QString& currentVersion,
            std::chrono::milliseconds timeout = defaultTimeout, QObject* parent = nullptr);
    ~Updater() override;

    // The updater the build asks for: none when it names no appcast address.
    static std::unique_ptr<Updater> fromBuild(QObject* parent = nullptr);

    State state() const { return m_state; }
    Failure failure() const { return m_failure; }
    QString currentVersion() const { return m_currentVersion; }
    QString latestVersion() const { return m_latestVersion; }
    QUrl releaseNotes() const { return m_releaseNotes; }
    QUrl downloadPage() const { return m_downloadPage; }
    QString message() const;

    // Starts a check unless one runs; the answer comes with stateChanged.
    Q_INVOKABLE void checkForUpdates();
    Q_INVOKABLE void openDownloadPage() const;
    Q_INVOKABLE void openReleaseNotes() const;

signals:
    void stateChanged();
    // A check began: the place to show the dialog.
    void checkStarted();

private:
    void received();
    void finished();
    void fail(Failure failure);

    QUrl m_appcast;
    QString m_currentVersion;
    std::chrono::milliseconds m_timeout;
    std::unique_ptr<QNetworkAccessManager> m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_body;
    State m_state = State::Idle;
    Failure m_failure = Failure::None;
    QString m_networkError;
    QString m_latestVersion;
    QUrl m_releaseNotes;
    QUrl m_downloadPage;
};
