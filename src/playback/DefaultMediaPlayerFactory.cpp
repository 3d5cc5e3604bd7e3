#include "MediaPlayer.h"

#include <QUrl>

MediaPlayerFactory defaultMediaPlayerFactory()
{
    // No backend yet.
    return [](const QUrl&) {
        return std::unique_ptr<MediaPlayer>();
    };
}
