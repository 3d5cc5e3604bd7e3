#pragma once

#include "MpvCoreReaper.h"
#include "playback/MediaPlayerPlugin.h"

#include <QObject>

#include <mutex>

// The plugin's root object: makes one embedded mpv core per media player.
class MpvMediaPlayerPlugin : public QObject, public MediaPlayerPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MediaPlayerPlugin_iid)
    Q_INTERFACES(MediaPlayerPlugin)

public:
    explicit MpvMediaPlayerPlugin(QObject* parent = nullptr);

    std::unique_ptr<MediaPlayer> createMediaPlayer(const QUrl& url) override;
    void prepareMediaPlayer() override;
    std::unique_ptr<MediaPlayer> createPreparedMediaPlayer(const QUrl& url) override;
    void releasePreparedMediaPlayer() override;
    int liveCoreCount() const override;
    const QMetaObject* mediaPlayerMetaObject() const override;

private:
    MpvCore takePrepared();

    std::mutex m_preparedMutex;
    MpvCore m_prepared;
};
