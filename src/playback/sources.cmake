target_sources(sondikcore PRIVATE
    playback/MediaPlayer.h playback/DefaultMediaPlayerFactory.cpp playback/MediaPlayerPlugin.h
    playback/FadeTimer.h playback/FadeTimer.cpp
    playback/Preferences.h playback/Preferences.cpp
    playback/RadioPlayer.h playback/RadioPlayer.cpp
)
