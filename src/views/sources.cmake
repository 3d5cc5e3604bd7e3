list(APPEND SONDIK_QML_FILES
    views/AppContainerView.qml
    views/AppContentView.qml
    views/PreferencesActionBox.qml
    views/PreferencesBox.qml
    views/PreferencesView.qml
    views/SymbolImage.qml
    views/Toggle.qml
    views/UpdateDialog.qml
    views/WindowBackgroundView.qml
    views/WindowVisualEffectView.qml
)
