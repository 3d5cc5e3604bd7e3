import QtQuick

// The card every box of the preferences panel sits on: the window colour at
// 0.4, rounded corners of 10, a faint gray border over it.
Rectangle {
    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    radius: 10
    clip: true
    color: Qt.rgba(palette.window.r, palette.window.g, palette.window.b, 0.4)
    border.width: 1
    border.color: Qt.rgba(0.5, 0.5, 0.5, 0.1)
}
