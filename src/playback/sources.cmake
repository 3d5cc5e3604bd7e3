target_sources(sondikcore PRIVATE
    playback/MediaPlayer.h playback/DefaultMediaPlayerFactory.cpp
    playback/Preferences.h playback/Preferences.cpp
)
