# Files of src/desktop: services of the session.
target_sources(sondikcore PRIVATE
    desktop/Appcast.h desktop/Appcast.cpp
    desktop/DesktopLogging.h desktop/DesktopLogging.cpp
    desktop/LaunchAtLogin.h desktop/LaunchAtLogin.cpp
    desktop/MprisPlayerAdaptor.h desktop/MprisPlayerAdaptor.cpp
    desktop/MprisRootAdaptor.h desktop/MprisRootAdaptor.cpp
    desktop/MprisService.h desktop/MprisService.cpp
    desktop/SingleInstance.h desktop/SingleInstance.cpp
    desktop/SleepMonitor.h desktop/SleepMonitor.cpp
    desktop/StationArtwork.h desktop/StationArtwork.cpp
    desktop/TerminationSignals.h desktop/TerminationSignals.cpp
    desktop/Updater.h desktop/Updater.cpp
)
