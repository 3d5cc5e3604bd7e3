#pragma once

#include <QtPlugin>

#include <memory>

class MediaPlayer;
class QUrl;
struct QMetaObject;

// What a media backend plugin offers the program. The plugin's media players
// derive from MediaPlayer, whose code lives in the program itself: the program
// exports those symbols to the plugin (see src/playback/mpv/CMakeLists.txt).
class MediaPlayerPlugin {
public:
    virtual ~MediaPlayerPlugin() = default;

    // nullptr when no media core could be made. Called on any thread (the
    // core takes a while to start); the player belongs to that thread. The
    // program sets LC_NUMERIC to "C" before it loads the plugin.
    virtual std::unique_ptr<MediaPlayer> createMediaPlayer(const QUrl& url) = 0;
    // Starts a core ahead of a likely createMediaPlayer, which then takes it
    // instead of starting one; nothing if one is waiting already.
    virtual void prepareMediaPlayer() = 0;
    // A player on the core started ahead, at once, or nullptr when none is
    // ready: never starts one, so the main thread may call it.
    virtual std::unique_ptr<MediaPlayer> createPreparedMediaPlayer(const QUrl& url) = 0;
    // Lets go of a core started ahead and not taken.
    virtual void releasePreparedMediaPlayer() = 0;
    // Media cores alive, counting those still being torn down.
    virtual int liveCoreCount() const = 0;
    // MediaPlayer's meta-object as the plugin was linked against it: the
    // program's own, or the plugin cannot be used.
    virtual const QMetaObject* mediaPlayerMetaObject() const = 0;
};

#define MediaPlayerPlugin_iid "de.sondik.MediaPlayerPlugin/3"
Q_DECLARE_INTERFACE(MediaPlayerPlugin, MediaPlayerPlugin_iid)

// Media cores alive in the loaded backend; 0 while no backend is loaded.
int mediaPlayerCoreCount();
