list(APPEND SONDIK_QML_FILES
    views/AppContainerView.qml
    views/AppContentView.qml
    views/WindowBackgroundView.qml
    views/WindowVisualEffectView.qml
)
