#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QUrl;

// A network audio player for one stream URL: the backend the radio player
// drives. It knows nothing about stations. All calls and signals are on the
// main thread.
class MediaPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~MediaPlayer() override = default;

    // Starts loading and playing. The rate becomes 1.0 at once and stays
    // there while the stream plays or buffers.
    virtual void play() = 0;
    // 1.0 while playing or buffering; 0.0 before play() and once nothing is
    // left to play (load failure, HTTP error, end of stream).
    virtual float rate() const = 0;
    // Whether any audio of the stream has been decoded since play().
    virtual bool hasDecodedAudio() const = 0;
    // Linear gain, 0.0 (silent) to 1.0 (full).
    virtual float volume() const = 0;
    virtual void setVolume(float volume) = 0;

signals:
    void rateChanged(float rate);
    // The title the stream sends for what is on air now (ICY StreamTitle and
    // the like), as received; empty when it sends none or clears it.
    void streamTitleChanged(const QString& title);
};

// Creates the media player for a URL; nullptr when no backend is available.
using MediaPlayerFactory = std::function<std::unique_ptr<MediaPlayer>(const QUrl& url)>;

// The real backend: loads the libmpv plugin on first use, off the main thread.
// Its players are handed out at once and start their core off the main thread
// too; a player whose core cannot be made ends as a failed stream does, and
// once the plugin is known not to load no player is made (nullptr).
MediaPlayerFactory defaultMediaPlayerFactory();

// Called when the user is about to play (the window is shown), so that the
// next play is quick: starts loading the backend off the main thread, once,
// and has it start a media core that the next player takes.
void preloadMediaPlayers();
// The user is no longer about to play (the window hid): the core started
// ahead and not taken goes.
void releasePreparedMediaPlayers();
// Once the event loop has ended: lets the backend finish what it is making and
// delivers what it handed back, so that no media core outlives the teardown.
void finishMediaPlayerHandOvers();
