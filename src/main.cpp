#include "catalog/RadioStationStore.h"
#include "playback/Preferences.h"

#include <QApplication>
#include <QQmlApplicationEngine>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(SondikPlugin)

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sondik"));
    QApplication::setApplicationVersion(QStringLiteral(SONDIK_VERSION));

    RadioStationStore radioStationStore;
    Preferences preferences;

    QQmlApplicationEngine engine;
    engine.setInitialProperties({
        {QStringLiteral("radioStationStore"), QVariant::fromValue(&radioStationStore)},
        {QStringLiteral("preferences"), QVariant::fromValue(&preferences)},
    });
    engine.load(QUrl(QStringLiteral("qrc:/Sondik/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    return app.exec();
}
