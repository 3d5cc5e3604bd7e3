import QtQuick
import Sondik

// A round 26-point button of the top bar showing one symbol. It grows to 1.1
// times its size under the pointer and never takes the keyboard focus, so a
// click on it leaves the search field focused.
Item {
    id: button

    required property string symbol
    property real symbolSize: 12
    // Distance of the symbol from the trailing edge; centred when negative.
    property real symbolTrailingInset: -1
    property alias hovered: hover.hovered

    signal clicked

    width: 26
    height: 26
    scale: hover.hovered ? 1.1 : 1.0

    Accessible.role: Accessible.Button
    Accessible.onPressAction: button.clicked()

    SystemPalette {
        id: systemPalette
        colorGroup: SystemPalette.Active
    }

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: systemPalette.window
        opacity: 0.4
    }

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        color: "transparent"
        border.width: 1
        border.color: Qt.rgba(0.5, 0.5, 0.5, 0.1)
    }

    SymbolImage {
        objectName: "symbol"
        name: button.symbol
        width: button.symbolSize
        height: button.symbolSize
        color: systemPalette.windowText
        anchors.verticalCenter: parent.verticalCenter
        x: button.symbolTrailingInset < 0 ? (parent.width - width) / 2 : parent.width - button.symbolTrailingInset - width
    }

    HoverHandler {
        id: hover
    }

    TapHandler {
        onTapped: button.clicked()
    }
}
