// The views under Qt Quick Test, on the real stores. The media player is the
// fake one (nothing plays), the network path is reported by the test, and the
// desktop's URL handler is the test's, so a click can be followed to the end.
#include "app/LaunchAtLogin.h"
#include "app/Updater.h"
#include "catalog/RadioStationStore.h"
#include "network/FakePathMonitor.h"
#include "network/NetworkStatus.h"
#include "playback/FakeMediaPlayer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
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

class ViewFixture : public QObject {
    Q_OBJECT
    Q_PROPERTY(RadioStationStore* radioStationStore MEMBER m_radioStationStore NOTIFY storesChanged)
    Q_PROPERTY(RadioPlayer* radioPlayer MEMBER m_radioPlayer NOTIFY storesChanged)
    Q_PROPERTY(Preferences* preferences MEMBER m_preferences NOTIFY storesChanged)
    Q_PROPERTY(NetworkStatus* networkStatus MEMBER m_networkStatus NOTIFY storesChanged)
    Q_PROPERTY(LaunchAtLogin* launchAtLogin MEMBER m_launchAtLogin CONSTANT)
    // Port 1 of loopback refuses: a check starts and fails at once.
    Q_PROPERTY(Updater* updater MEMBER m_updater CONSTANT)
    Q_PROPERTY(QStringList openedUrls MEMBER m_openedUrls NOTIFY openedUrlsChanged)

public:
    ViewFixture()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        reset();
    }
    ~ViewFixture() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        // The stores' settings files go before their directory does.
        qDeleteAll(children());
    }

    // Fresh stores on a fresh settings file. The earlier ones stay alive until
    // the end, so a view still being torn down never sees them go.
    Q_INVOKABLE void reset()
    {
        m_radioStationStore =
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
        emit openedUrlsChanged();
    }

    Q_INVOKABLE void reportConnection(bool present)
    {
        m_monitor->deliver({present ? PathMonitor::Path::Status::Satisfied
                                    : PathMonitor::Path::Status::Unsatisfied});
    }

    // The volumes set, in order, on the playing media player.
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
    QTemporaryDir m_dir;
    int m_resets = 0;
    RadioStationStore* m_radioStationStore = nullptr;
    RadioPlayer* m_radioPlayer = nullptr;
    Preferences* m_preferences = nullptr;
    NetworkStatus* m_networkStatus = nullptr;
    FakePathMonitor* m_monitor = nullptr;
    LaunchAtLogin* m_launchAtLogin =
        new LaunchAtLogin(m_dir.filePath(QStringLiteral("bin/sondik")), this);
    Updater* m_updater = new Updater(QUrl(QStringLiteral("http://127.0.0.1:1/appcast")),
                                     QStringLiteral("1.0"), Updater::defaultTimeout, this);
    QStringList m_openedUrls;
};

class Setup : public QObject {
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", m_dir.filePath(QStringLiteral("system")).toLocal8Bit());
        // The program's own string tables (English: the test sets LANGUAGE).
        Translations::install(*QCoreApplication::instance());
        m_fixture = std::make_unique<ViewFixture>();
    }
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
    QTemporaryDir m_dir;
    std::unique_ptr<ViewFixture> m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(views, Setup)
#include "tst_views.moc"
