import QtQuick

// The backdrop of the whole window: the window's translucent background
// colour, and over it a veil of the window colour, always in the active look.
// Where the compositor blurs what lies behind, the veil is thinner.
Item {
    property bool translucent: true
    property bool blurBehind: false
    property color backgroundColor: "transparent"

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    Rectangle {
        anchors.fill: parent
        color: parent.backgroundColor
    }

    Rectangle {
        anchors.fill: parent
        color: palette.window
        opacity: !parent.translucent ? 1 : parent.blurBehind ? 0.55 : 0.75
    }
}
