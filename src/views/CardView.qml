import QtQuick

// The card every row sits on: a rounded rectangle of radius 10 filled with
// the window colour at 0.4, the content clipped to it, then an optional
// highlight border and, over everything, a 1-px gray border at 0.1.
Item {
    id: card

    default property alias content: contentArea.data
    property color fill: Qt.rgba(palette.window.r, palette.window.g, palette.window.b, 0.4)
    property color highlightBorder: "transparent"
    readonly property real radius: 10

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    Rectangle {
        anchors.fill: parent
        radius: card.radius
        color: card.fill
    }

    Item {
        id: contentArea
        anchors.fill: parent
        // A hovered row grows past the card; the card cuts it off.
        clip: true
    }

    Rectangle {
        anchors.fill: parent
        radius: card.radius
        color: "transparent"
        border.width: 1
        border.color: card.highlightBorder
        visible: card.highlightBorder.a > 0
    }

    Rectangle {
        anchors.fill: parent
        radius: card.radius
        color: "transparent"
        border.width: 1
        border.color: Qt.rgba(0.557, 0.557, 0.576, 0.1)
    }
}
