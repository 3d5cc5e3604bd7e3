#include "AsyncMediaPlayer.h"
#include "MediaPlayer.h"
#include "MediaPlayerPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QUrl>
#include <QtGlobal>

#include <atomic>
#include <clocale>

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

enum class PluginState { NotTried, Loading, Loaded, Failed };

// Written by the loading thread, read anywhere.
std::atomic<PluginState> pluginState{PluginState::NotTried};
std::atomic<MediaPlayerPlugin*> loadedPlugin{nullptr};

// Loading the plugin (some 250 libraries) and starting an mpv core each take
// a good part of a second on a cold disk: one thread does both, in the order
// asked, so that the window never waits for them.
QThreadPool& backendThread();

QThreadPool& backendThread()
{
    static QThreadPool* pool = [] {
        auto* threads = new QThreadPool(QCoreApplication::instance());
        threads->setMaxThreadCount(1);
        // One thread for the life of the program rather than a new one (and a
        // new malloc arena) after each pause.
        threads->setExpiryTimeout(-1);
        threads->setObjectName(QStringLiteral("MediaBackend"));
        // What it is making hands its result to the application object:
        // finish while that is still there.
        qAddPostRoutine([] { backendThread().waitForDone(); });
        return threads;
    }();
    return *pool;
}

// On the backend thread; tried once.
MediaPlayerPlugin* loadPlugin()
{
    if (pluginState.load() != PluginState::Loading)
        return loadedPlugin.load();

    QPluginLoader loader(QDir(pluginDirectory()).filePath(QStringLiteral("sondikmpv")));
    // Bind everything now so a mismatch fails here, and keep the plugin loaded
    // until the process ends: its media cores may still be going down.
    loader.setLoadHints(QLibrary::ResolveAllSymbolsHint | QLibrary::PreventUnloadHint);
    QObject* root = loader.instance();
    auto* candidate = qobject_cast<MediaPlayerPlugin*>(root);
    if (!candidate) {
        qWarning("Sondik: no media player, the playback plugin does not load: %s",
                 qPrintable(loader.errorString()));
    } else if (candidate->mediaPlayerMetaObject() != &MediaPlayer::staticMetaObject) {
        qWarning("Sondik: no media player, the playback plugin %s was built for another program",
                 qPrintable(loader.fileName()));
        candidate = nullptr;
    } else {
        root->moveToThread(QCoreApplication::instance()->thread());
    }
    loadedPlugin.store(candidate);
    pluginState.store(candidate ? PluginState::Loaded : PluginState::Failed);
    return candidate;
}

// Starts loading, on the main thread; false once it is known not to load.
bool startLoading()
{
    PluginState expected = PluginState::NotTried;
    if (pluginState.compare_exchange_strong(expected, PluginState::Loading)) {
        // mpv parses numbers in the C locale only; the application object has
        // set the locale from the environment by now.
        std::setlocale(LC_NUMERIC, "C");
        backendThread().start([] { loadPlugin(); });
    }
    return pluginState.load() != PluginState::Failed;
}

} // namespace

MediaPlayerFactory defaultMediaPlayerFactory()
{
    return [](const QUrl& url) -> std::unique_ptr<MediaPlayer> {
        if (!startLoading())
            return nullptr;
        auto player = std::make_unique<AsyncMediaPlayer>(url);
        // With a core started ahead, the stream opens within this click
        // rather than after a trip through the backend thread and back,
        // which waits on the frame the click draws.
        if (pluginState.load() == PluginState::Loaded) {
            if (auto ready = loadedPlugin.load()->createPreparedMediaPlayer(url)) {
                player->attach(std::move(ready));
                return player;
            }
        }
        QPointer<AsyncMediaPlayer> target(player.get());
        backendThread().start([target, url] {
            MediaPlayerPlugin* plugin = loadPlugin();
            // A player let go of while it waited (the user clicked on) needs
            // no core. Only a hint off the main thread, which is enough.
            if (target.isNull())
                return;
            std::unique_ptr<MediaPlayer> made = plugin ? plugin->createMediaPlayer(url) : nullptr;
            if (made)
                made->moveToThread(QCoreApplication::instance()->thread());
            // Destroyed with this call when the player it was made for is gone.
            auto handOver = std::make_shared<std::unique_ptr<MediaPlayer>>(std::move(made));
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [target, handOver] {
                    if (target)
                        target->attach(std::move(*handOver));
                },
                Qt::QueuedConnection);
        });
        return player;
    };
}

void preloadMediaPlayers()
{
    if (!startLoading())
        return;
    // Starting a core takes some 15 ms: done now, a click only opens the stream.
    backendThread().start([] {
        if (MediaPlayerPlugin* plugin = loadPlugin())
            plugin->prepareMediaPlayer();
    });
}

void releasePreparedMediaPlayers()
{
    if (pluginState.load() == PluginState::NotTried)
        return; // the backend thread was never made
    backendThread().start([] {
        if (MediaPlayerPlugin* plugin = loadPlugin())
            plugin->releasePreparedMediaPlayer();
    });
}

int mediaPlayerCoreCount()
{
    const MediaPlayerPlugin* plugin = loadedPlugin.load();
    return plugin ? plugin->liveCoreCount() : 0;
}

void finishMediaPlayerHandOvers()
{
    if (pluginState.load() == PluginState::NotTried)
        return; // the backend thread was never made
    releasePreparedMediaPlayers();
    backendThread().waitForDone();
    // Hand-overs queued for players already let go of: their cores go now.
    QCoreApplication::sendPostedEvents(QCoreApplication::instance());
}
