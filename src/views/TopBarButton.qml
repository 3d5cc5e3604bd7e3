import QtQuick
import Sondik

// A round 26-point button of the top bar showing one symbol. It grows to 1.1
// times its size under the pointer. Tab reaches it, Return and Space press
// it; a click never takes the keyboard focus, so it leaves the search field
// focused.
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

    activeFocusOnTab: true
    Keys.onPressed: event => {
        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter || event.key === Qt.Key_Space) {
            button.clicked();
            event.accepted = true;
        }
    }

    Accessible.role: Accessible.Button
    Accessible.focusable: true
    Accessible.focused: activeFocus
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

    FocusRing {
        anchors.fill: parent
        radius: width / 2
        item: button
    }

    HoverHandler {
        id: hover
    }

    TapHandler {
        onTapped: button.clicked()
    }
}
