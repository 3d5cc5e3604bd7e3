target_sources(sondikcore PRIVATE
    playback/MediaPlayer.h playback/DefaultMediaPlayerFactory.cpp playback/MediaPlayerPlugin.h
    playback/AsyncMediaPlayer.h playback/AsyncMediaPlayer.cpp
    playback/FadeTimer.h playback/FadeTimer.cpp
    playback/PlaybackLogging.h playback/PlaybackLogging.cpp
    playback/MemoryTuning.h playback/MemoryTuning.cpp
    playback/Preferences.h playback/Preferences.cpp
    playback/PreferencesWriter.h playback/PreferencesWriter.cpp
    playback/PlaybackResumer.h playback/PlaybackResumer.cpp
    playback/RadioPlayer.h playback/RadioPlayer.cpp
    playback/PlaybackController.h playback/PlaybackController.cpp
)
