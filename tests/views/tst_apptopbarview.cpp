#include "catalog/RadioStationStore.h"
#include "playback/FakeMediaPlayer.h"
#include "playback/Preferences.h"
#include "playback/RadioPlayer.h"
#include "views/Translations.h"

#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

// Real stores; the player plays into fake media players.
class Setup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

public slots:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        // The program's own string tables (English: the test sets LANGUAGE).
        Translations::install(*QCoreApplication::instance());
        auto* radioStationStore =
            new RadioStationStore([] { return std::optional(QStringLiteral("DE")); }, engine);
        auto* radioPlayer =
            new RadioPlayer([](const QUrl& url) { return std::make_unique<FakeMediaPlayer>(url); },
                            QStringLiteral("tune.invalid"), engine);
        auto* preferences = new Preferences(m_dir.filePath(QStringLiteral("Sondik.conf")), engine);
        QQmlContext* context = engine->rootContext();
        context->setContextProperty(QStringLiteral("testRadioStationStore"), radioStationStore);
        context->setContextProperty(QStringLiteral("testRadioPlayer"), radioPlayer);
        context->setContextProperty(QStringLiteral("testPreferences"), preferences);
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_apptopbarview, Setup)
#include "tst_apptopbarview.moc"
