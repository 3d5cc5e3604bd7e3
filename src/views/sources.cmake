# Files of src/views: the QML views and their C++ helpers.
target_sources(sondikcore PRIVATE
    views/AppViewState.h views/AppViewState.cpp
    views/FocusVisibility.h views/FocusVisibility.cpp
    views/LogoImageProvider.h views/LogoImageProvider.cpp
    views/RadioStationListModel.h views/RadioStationListModel.cpp
    views/RadioStationText.h views/RadioStationText.cpp
    views/StationFilter.h views/StationFilter.cpp
    views/SupportPage.h views/SupportPage.cpp
    views/Translations.h views/Translations.cpp
    views/ViewsLogging.h views/ViewsLogging.cpp
    views/VolumeHook.h views/VolumeHook.cpp
)

list(APPEND SONDIK_QML_FILES
    views/AppContainerView.qml
    views/AppContentView.qml
    views/AppTopBarView.qml
    views/CardView.qml
    views/FocusRing.qml
    views/MissingRadioStationView.qml
    views/PlainTextField.qml
    views/PreferencesActionBox.qml
    views/PreferencesBox.qml
    views/PreferencesView.qml
    views/ProgressSpinner.qml
    views/RadioStationListView.qml
    views/RadioStationLogoView.qml
    views/RadioStationTextView.qml
    views/RadioStationView.qml
    views/SearchField.qml
    views/SelectedRadioStationView.qml
    views/SymbolImage.qml
    views/Toggle.qml
    views/TopBarButton.qml
    views/UpdateDialog.qml
    views/WindowBackgroundView.qml
    views/WindowVisualEffectView.qml
)

# Station logos (scripts/make-logos.py writes them) and the views' symbols.
file(GLOB sondik_logos CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/logos/*.svg)
qt_add_resources(sondikcore sondik_logos
    PREFIX /logos
    BASE ${PROJECT_SOURCE_DIR}/resources/logos
    FILES ${sondik_logos}
)
file(GLOB sondik_symbols CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/symbols/*.svg)
qt_add_resources(sondikcore sondik_symbols
    PREFIX /symbols
    BASE ${PROJECT_SOURCE_DIR}/resources/symbols
    FILES ${sondik_symbols}
)

# The string tables, looked up by id, compiled at build time.
qt_add_lrelease(sondikcore
    TS_FILES
        ${PROJECT_SOURCE_DIR}/resources/translations/sondik_en.ts
        ${PROJECT_SOURCE_DIR}/resources/translations/sondik_de.ts
    OPTIONS -idbased -silent
    QM_FILES_OUTPUT_VARIABLE sondik_qm_files
)
qt_add_resources(sondikcore sondik_translations
    PREFIX /i18n
    BASE ${CMAKE_CURRENT_BINARY_DIR}
    FILES ${sondik_qm_files}
)
