#include "app/SondikApp.h"
#include "playback/MemoryTuning.h"

#include <QtQml/qqmlextensionplugin.h>

// The views' QML module is linked in statically.
Q_IMPORT_QML_PLUGIN(SondikPlugin)

int main(int argc, char* argv[])
{
    tuneMemoryForMediaCores(); // before any thread starts
    SondikApp app(argc, argv);
    return app.exec();
}
