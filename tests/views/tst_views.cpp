// The views under Qt Quick Test, on the real stores. The media player is the
// fake one (nothing plays), the network path is reported by the test, and the
// desktop's URL handler is the test's, so a click can be followed to the end.
#include "catalog/RadioStationStore.h"
#include "network/NetworkStatus.h"
#include "playback/FakeMediaPlayer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
#include "views/LogoImageProvider.h"

#include <QDesktopServices>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest/quicktest.h>

#include <vector>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

namespace {

// The test says which path the machine has.
class ReportedPathMonitor final : public PathMonitor {
public:
    bool start(const std::string&, PathUpdateHandler handler) override
    {
        m_handler = std::move(handler);
        return true;
    }
    void report(bool satisfied)
    {
        m_handler(Path{satisfied ? Path::Status::Satisfied : Path::Status::Unsatisfied});
    }

private:
    PathUpdateHandler m_handler;
};

} // namespace

class ViewFixture : public QObject {
    Q_OBJECT
    Q_PROPERTY(RadioStationStore* radioStationStore READ radioStationStore NOTIFY storesChanged)
    Q_PROPERTY(RadioPlayer* radioPlayer READ radioPlayer NOTIFY storesChanged)
    Q_PROPERTY(Preferences* preferences READ preferences NOTIFY storesChanged)
    Q_PROPERTY(NetworkStatus* networkStatus READ networkStatus NOTIFY storesChanged)
    Q_PROPERTY(QStringList openedUrls MEMBER m_openedUrls NOTIFY openedUrlsChanged)

public:
    ViewFixture()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        reset();
    }
    ~ViewFixture() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    RadioStationStore* radioStationStore() const { return m_radioStationStore.get(); }
    RadioPlayer* radioPlayer() const { return m_radioPlayer.get(); }
    Preferences* preferences() const { return m_preferences.get(); }
    NetworkStatus* networkStatus() const { return m_networkStatus.get(); }

    // Fresh stores on a fresh settings file that holds `selectedStationId`
    // (none when empty). The earlier ones stay alive until the end, so a view
    // still being torn down never sees them go.
    Q_INVOKABLE void reset(const QString& selectedStationId = {})
    {
        m_settingsFile = m_dir.filePath(QStringLiteral("Sondik-%1.conf").arg(++m_resets));
        if (!selectedStationId.isEmpty())
            Preferences(m_settingsFile).setSelectedRadioStationId(selectedStationId);
        retire(m_radioStationStore, m_radioPlayer, m_preferences, m_networkStatus);
        m_radioStationStore =
            std::make_unique<RadioStationStore>([] { return std::optional(QStringLiteral("DE")); });
        m_radioPlayer = std::make_unique<RadioPlayer>(
            [this](const QUrl& url) {
                auto player = std::make_unique<FakeMediaPlayer>(url);
                m_players.append(player.get());
                return player;
            },
            QStringLiteral("tune.invalid"));
        m_preferences = std::make_unique<Preferences>(m_settingsFile);
        auto monitor = std::make_unique<ReportedPathMonitor>();
        m_monitor = monitor.get();
        m_networkStatus = std::make_unique<NetworkStatus>(std::move(monitor));
        m_players.clear();
        m_openedUrls.clear();
        emit storesChanged();
        emit openedUrlsChanged();
    }

    Q_INVOKABLE void reportConnection(bool present) { m_monitor->report(present); }

    // What the settings file holds now, read apart from the store.
    Q_INVOKABLE QVariant savedSelection() const
    {
        // Writes reach the file off the main thread.
        m_preferences->waitForWrites();
        return QSettings(m_settingsFile, QSettings::IniFormat).value("SelectedRadioStationId");
    }
    Q_INVOKABLE int playersCreated() const { return int(m_players.size()); }
    // The URL and the volumes set, in order, of the playing media player.
    Q_INVOKABLE QString playerUrl() const
    {
        auto* player = qobject_cast<FakeMediaPlayer*>(m_radioPlayer->player());
        return player ? player->url.toString() : QString();
    }
    Q_INVOKABLE QVariantList playerVolumes() const
    {
        QVariantList volumes;
        if (auto* player = qobject_cast<FakeMediaPlayer*>(m_radioPlayer->player())) {
            for (float volume : player->volumes)
                volumes.append(double(volume));
        }
        return volumes;
    }

public slots:
    void openUrl(const QUrl& url)
    {
        m_openedUrls.append(url.toString());
        emit openedUrlsChanged();
    }

signals:
    void storesChanged();
    void openedUrlsChanged();

private:
    template <typename... T> void retire(std::unique_ptr<T>&... objects)
    {
        (m_retired.emplace_back(objects.release()), ...);
    }

    QTemporaryDir m_dir;
    int m_resets = 0;
    QString m_settingsFile;
    std::vector<std::unique_ptr<QObject>> m_retired;
    std::unique_ptr<RadioStationStore> m_radioStationStore;
    std::unique_ptr<RadioPlayer> m_radioPlayer;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<NetworkStatus> m_networkStatus;
    ReportedPathMonitor* m_monitor = nullptr;
    QList<QPointer<FakeMediaPlayer>> m_players;
    QStringList m_openedUrls;
};

class Setup : public QObject {
    Q_OBJECT

public slots:
    void applicationAvailable() { m_fixture = std::make_unique<ViewFixture>(); }
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        // The module's qmldir sits at qrc:/Sondik.
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->addImageProvider(QLatin1String(LogoImageProvider::providerId),
                                 new LogoImageProvider);
        engine->rootContext()->setContextProperty(QStringLiteral("fixture"), m_fixture.get());
    }
    void cleanupTestCase() { m_fixture.reset(); }

private:
    std::unique_ptr<ViewFixture> m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(views, Setup)
#include "tst_views.moc"
