target_sources(sondikcore PRIVATE
    playback/MediaPlayer.h
    playback/Preferences.h playback/Preferences.cpp
)
