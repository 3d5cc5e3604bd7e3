target_sources(sondikcore PRIVATE
    playback/Preferences.h playback/Preferences.cpp
)
