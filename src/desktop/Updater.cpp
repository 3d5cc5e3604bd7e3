#include "Updater.h"

#include "Appcast.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

Updater::Updater(const QUrl& appcast, const QString& currentVersion,
                 std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent)
    , m_appcast(appcast)
    , m_currentVersion(currentVersion)
    , m_timeout(timeout)
    , m_network(std::make_unique<QNetworkAccessManager>())
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { fail(Failure::TimedOut); });
}

Updater::~Updater()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply.data();
    }
}

std::unique_ptr<Updater> Updater::fromBuild(QObject* parent)
{
    const QUrl appcast(QStringLiteral(SONDIK_APPCAST_URL));
    if (appcast.isEmpty() || !appcast.isValid())
        return nullptr;
    return std::make_unique<Updater>(appcast, QStringLiteral(SONDIK_VERSION), defaultTimeout,
                                     parent);
}

// The ids are the English texts, so that a missing table still reads well.
QString Updater::message() const
{
    switch (m_state) {
    case State::Idle:
        return {};
    case State::Checking:
        return qtTrId("Looking for a new version…");
    case State::UpdateAvailable:
        return qtTrId("Sondik %1 is available. You have %2.")
            .arg(m_latestVersion, m_currentVersion);
    case State::UpToDate:
        return qtTrId("Sondik %1 is the newest version.").arg(m_currentVersion);
    case State::Failed:
        break;
    }
    switch (m_failure) {
    case Failure::Network:
        return qtTrId("The update check failed: %1").arg(m_networkError);
    case Failure::TimedOut:
        return qtTrId("The update server did not answer in time.");
    case Failure::TooLarge:
    case Failure::NotAppcast:
        return qtTrId("The update server sent something that is not an update feed.");
    case Failure::NoItems:
        return qtTrId("The update feed lists no versions.");
    case Failure::NoVersion:
        return qtTrId("The update feed names no version that Sondik can read.");
    case Failure::None:
        break;
    }
    return {};
}

void Updater::checkForUpdates()
{
    if (m_state == State::Checking)
        return;
    m_body.clear();
    m_failure = Failure::None;
    m_networkError.clear();
    m_latestVersion.clear();
    m_releaseNotes.clear();
    m_downloadPage.clear();
    m_state = State::Checking;
    emit stateChanged();
    emit checkStarted();

    QNetworkRequest request(m_appcast);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Sondik/") + QStringLiteral(SONDIK_VERSION));
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &Updater::received);
    connect(m_reply, &QNetworkReply::finished, this, &Updater::finished);
    m_deadline.start(m_timeout);
}

void Updater::received()
{
    if (!m_reply)
        return;
    m_body += m_reply->read(Appcast::maximumSize + 1 - m_body.size());
    if (m_body.size() > Appcast::maximumSize)
        fail(Failure::TooLarge);
}

void Updater::finished()
{
    if (!m_reply)
        return;
    received();
    if (!m_reply)
        return; // too large
    QNetworkReply* reply = m_reply;
    m_reply.clear();
    reply->deleteLater();
    m_deadline.stop();
    if (reply->error() != QNetworkReply::NoError) {
        m_networkError = reply->errorString();
        m_state = State::Failed;
        m_failure = Failure::Network;
        emit stateChanged();
        return;
    }
    const Appcast appcast = Appcast::parse(m_body);
    m_body.clear();
    switch (appcast.error) {
    case Appcast::Error::NotXml:
        fail(Failure::NotAppcast);
        return;
    case Appcast::Error::NoItems:
        fail(Failure::NoItems);
        return;
    case Appcast::Error::NoVersion:
        fail(Failure::NoVersion);
        return;
    case Appcast::Error::None:
        break;
    }
    m_latestVersion = appcast.version;
    m_releaseNotes = appcast.releaseNotes;
    m_downloadPage = appcast.downloadPage;
    const QVersionNumber current = Appcast::parseVersion(m_currentVersion);
    // A running version that does not parse counts as older than any release.
    m_state = current.isNull() || QVersionNumber::compare(appcast.versionNumber, current) > 0
                  ? State::UpdateAvailable
                  : State::UpToDate;
    emit stateChanged();
}

void Updater::fail(Failure failure)
{
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_deadline.stop();
    m_body.clear();
    m_state = State::Failed;
    m_failure = failure;
    emit stateChanged();
}

void Updater::openDownloadPage() const
{
    if (m_downloadPage.isValid())
        QDesktopServices::openUrl(m_downloadPage);
}

void Updater::openReleaseNotes() const
{
    if (m_releaseNotes.isValid())
        QDesktopServices::openUrl(m_releaseNotes);
}
