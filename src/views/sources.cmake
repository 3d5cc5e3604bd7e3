list(APPEND SONDIK_QML_FILES
    views/AppContainerView.qml
    views/AppContentView.qml
    views/AppTopBarView.qml
    views/PlainTextField.qml
    views/TopBarButton.qml
    views/WindowBackgroundView.qml
    views/WindowVisualEffectView.qml
)
