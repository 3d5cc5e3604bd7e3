# Files of src/views: the QML views and their C++ helpers.
target_sources(sondikcore PRIVATE
    views/LogoImageProvider.h views/LogoImageProvider.cpp
    views/RadioStationListModel.h views/RadioStationListModel.cpp
    views/RadioStationText.h views/RadioStationText.cpp
    views/StationFilter.h views/StationFilter.cpp
    views/SupportPage.h views/SupportPage.cpp
    views/VolumeHook.h views/VolumeHook.cpp
)

list(APPEND SONDIK_QML_FILES
    views/AppContainerView.qml
    views/AppContentView.qml
    views/CardView.qml
    views/MissingRadioStationView.qml
    views/RadioStationListView.qml
    views/RadioStationLogoView.qml
    views/RadioStationTextView.qml
    views/RadioStationView.qml
    views/SelectedRadioStationView.qml
    views/WindowBackgroundView.qml
    views/WindowVisualEffectView.qml
)
