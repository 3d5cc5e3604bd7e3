// The views under Qt Quick Test, on the real stores. The media player is the
// fake one (nothing plays), the network path is reported by the test, and the
// desktop's https handler is the test's, so a click can be followed to the end.
#include "catalog/RadioStationStore.h"
#include "desktop/LaunchAtLogin.h"
#include "desktop/Updater.h"
#include "network/FakePathMonitor.h"
#include "network/NetworkStatus.h"
#include "playback/FakeMediaPlayer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
#include "views/AppViewState.h"
#include "views/LogoImageProvider.h"
#include "views/Translations.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

// Also the Quick Test setup: it is built before the application, so the
// stores come in applicationAvailable.
class ViewFixture : public QObject {
    Q_OBJECT
    Q_PROPERTY(RadioStationStore* radioStationStore MEMBER m_stationStore NOTIFY storesChanged)
    Q_PROPERTY(RadioPlayer* radioPlayer MEMBER m_radioPlayer NOTIFY storesChanged)
    Q_PROPERTY(Preferences* preferences MEMBER m_preferences NOTIFY storesChanged)
    Q_PROPERTY(NetworkStatus* networkStatus MEMBER m_networkStatus NOTIFY storesChanged)
    Q_PROPERTY(LaunchAtLogin* launchAtLogin MEMBER m_launchAtLogin CONSTANT)
    Q_PROPERTY(Updater* updater MEMBER m_updater CONSTANT)
    Q_PROPERTY(AppViewState* viewState MEMBER m_viewState CONSTANT)
    Q_PROPERTY(QStringList openedUrls MEMBER m_openedUrls NOTIFY storesChanged)

public slots:
    void applicationAvailable()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", m_dir.filePath(QStringLiteral("system")).toLocal8Bit());
        // English string tables: the test sets LANGUAGE.
        Translations::install(*QCoreApplication::instance());
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        m_launchAtLogin = new LaunchAtLogin(m_dir.filePath(QStringLiteral("bin/sondik")), this);
        // Port 1 of loopback refuses: a check starts and fails at once.
        m_updater = new Updater(QUrl(QStringLiteral("http://127.0.0.1:1/appcast")),
                                QStringLiteral("1.0"), Updater::defaultTimeout, this);
        reset();
    }
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->addImageProvider(QLatin1String(LogoImageProvider::providerId),
                                 new LogoImageProvider);
        engine->rootContext()->setContextProperty(QStringLiteral("fixture"), this);
    }
    // Before the application goes; the settings files before their directory.
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        qDeleteAll(children());
    }

    // Fresh stores on a fresh settings file. The earlier ones stay alive until
    // the end, so a view still being torn down never sees them go.
    void reset()
    {
        m_stationStore =
            new RadioStationStore([] { return std::optional(QStringLiteral("DE")); }, this);
        m_radioPlayer =
            new RadioPlayer([](const QUrl& url) { return std::make_unique<FakeMediaPlayer>(url); },
                            QStringLiteral("tune.invalid"), this);
        m_preferences =
            new Preferences(m_dir.filePath(QStringLiteral("Sondik-%1.conf").arg(++m_resets)), this);
        auto monitor = std::make_unique<FakePathMonitor>();
        m_monitor = monitor.get();
        m_networkStatus = new NetworkStatus(std::move(monitor), this);
        m_openedUrls.clear();
        emit storesChanged();
    }
    void reportConnection(bool present)
    {
        m_monitor->deliver({present ? PathMonitor::Path::Status::Satisfied
                                    : PathMonitor::Path::Status::Unsatisfied});
    }
    // The first volume the playing media player was given.
    double firstVolume() const
    {
        auto* player = qobject_cast<FakeMediaPlayer*>(m_radioPlayer->player());
        return player && !player->volumes.isEmpty() ? player->volumes.first() : -1.0;
    }
    void openUrl(const QUrl& url) { m_openedUrls.append(url.toString()); }

signals:
    void storesChanged();

private:
    QTemporaryDir m_dir;
    int m_resets = 0;
    RadioStationStore* m_stationStore = nullptr;
    RadioPlayer* m_radioPlayer = nullptr;
    Preferences* m_preferences = nullptr;
    NetworkStatus* m_networkStatus = nullptr;
    FakePathMonitor* m_monitor = nullptr;
    LaunchAtLogin* m_launchAtLogin = nullptr;
    Updater* m_updater = nullptr;
    AppViewState* m_viewState = new AppViewState(this);
    QStringList m_openedUrls;
};

QUICK_TEST_MAIN_WITH_SETUP(views, ViewFixture)
#include "tst_views.moc"
