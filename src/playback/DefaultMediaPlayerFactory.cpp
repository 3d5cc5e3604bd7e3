#include "MediaPlayer.h"
#include "MediaPlayerPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QUrl>
#include <QtGlobal>

namespace {

QString pluginDirectory()
{
    const QString overridden = qEnvironmentVariable("SONDIK_PLUGIN_DIR");
    if (!overridden.isEmpty())
        return overridden;
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString buildDir = QDir(QStringLiteral(SONDIK_BUILD_DIR)).canonicalPath();
    if (!buildDir.isEmpty() &&
        (programDir == buildDir || programDir.startsWith(buildDir + QLatin1Char('/'))))
        return QStringLiteral(SONDIK_BUILD_PLUGIN_DIR);
    return QDir(programDir).filePath(QStringLiteral(SONDIK_PLUGIN_DIR_FROM_BIN));
}

// Loaded on the first request, tried once; nullptr when it cannot be used.
MediaPlayerPlugin* loadedPlugin(bool load)
{
    static bool tried = false;
    static MediaPlayerPlugin* plugin = nullptr;
    if (tried || !load)
        return plugin;
    tried = true;

    QPluginLoader loader(QDir(pluginDirectory()).filePath(QStringLiteral("sondikmpv")));
    // Bind everything now so a mismatch fails here, and keep the plugin loaded
    // until the process ends: its media cores may still be going down.
    loader.setLoadHints(QLibrary::ResolveAllSymbolsHint | QLibrary::PreventUnloadHint);
    auto* candidate = qobject_cast<MediaPlayerPlugin*>(loader.instance());
    if (!candidate) {
        qWarning("Sondik: no media player, the playback plugin does not load: %s",
                 qPrintable(loader.errorString()));
        return nullptr;
    }
    if (candidate->mediaPlayerMetaObject() != &MediaPlayer::staticMetaObject) {
        qWarning("Sondik: no media player, the playback plugin %s was built for another program",
                 qPrintable(loader.fileName()));
        return nullptr;
    }
    plugin = candidate;
    return plugin;
}

} // namespace

MediaPlayerFactory defaultMediaPlayerFactory()
{
    return [](const QUrl& url) -> std::unique_ptr<MediaPlayer> {
        MediaPlayerPlugin* plugin = loadedPlugin(true);
        return plugin ? plugin->createMediaPlayer(url) : nullptr;
    };
}

int mediaPlayerCoreCount()
{
    const MediaPlayerPlugin* plugin = loadedPlugin(false);
    return plugin ? plugin->liveCoreCount() : 0;
}
