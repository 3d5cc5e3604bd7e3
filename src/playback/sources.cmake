target_sources(sondikcore PRIVATE
    playback/MediaPlayer.h playback/DefaultMediaPlayerFactory.cpp playback/MediaPlayerPlugin.h
    playback/Preferences.h playback/Preferences.cpp
)
