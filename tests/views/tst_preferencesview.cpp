#include "app/LaunchAtLogin.h"
#include "app/Updater.h"
#include "playback/Preferences.h"

#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

// Real stores in a temporary folder, handed to the QML test cases.
class Setup : public QObject {
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", m_dir.filePath(QStringLiteral("system")).toLocal8Bit());
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        // The module is compiled in under qrc:/Sondik.
        engine->addImportPath(QStringLiteral("qrc:/"));
        m_preferences =
            std::make_unique<Preferences>(m_dir.filePath(QStringLiteral("Sondik.conf")));
        m_launchAtLogin =
            std::make_unique<LaunchAtLogin>(m_dir.filePath(QStringLiteral("bin/sondik")));
        engine->rootContext()->setContextProperty(QStringLiteral("testPreferences"),
                                                  m_preferences.get());
        engine->rootContext()->setContextProperty(QStringLiteral("testLaunchAtLogin"),
                                                  m_launchAtLogin.get());
        // Port 1 of loopback refuses: a check starts and fails at once.
        m_updater = std::make_unique<Updater>(QUrl(QStringLiteral("http://127.0.0.1:1/appcast")),
                                              QStringLiteral("1.0"));
        engine->rootContext()->setContextProperty(QStringLiteral("testUpdater"), m_updater.get());
        engine->rootContext()->setContextProperty(QStringLiteral("testArtifacts"),
                                                  QStringLiteral(SONDIK_TEST_ARTIFACTS));
        QDir().mkpath(QStringLiteral(SONDIK_TEST_ARTIFACTS));
    }

    void cleanupTestCase()
    {
        m_updater.reset();
        m_launchAtLogin.reset();
        m_preferences.reset();
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;
    std::unique_ptr<Updater> m_updater;
};

QUICK_TEST_MAIN_WITH_SETUP(preferencesview, Setup)
#include "tst_preferencesview.moc"
