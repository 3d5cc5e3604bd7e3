list(APPEND SONDIK_QML_FILES
    views/Main.qml
)
