import QtQuick

// One action of the preferences panel: a card whose whole width takes the
// click, grown a little while the pointer is over it.
PreferencesBox {
    id: box

    required property string text

    readonly property alias hovered: area.containsMouse
    readonly property alias row: row

    signal clicked

    implicitHeight: row.implicitHeight + 28

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    Item {
        id: row
        objectName: "row"

        x: 14
        y: 14
        width: box.width - 28
        implicitHeight: label.implicitHeight
        height: implicitHeight
        scale: area.containsMouse ? 1.01 : 1

        Behavior on scale {
            NumberAnimation {
                duration: 200
                easing.type: Easing.InOutQuad
            }
        }

        Text {
            id: label
            width: parent.width
            text: box.text
            color: palette.windowText
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideRight
        }
    }

    // The whole card, padding included, takes the pointer.
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: box.clicked()
    }

    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: box.clicked()
}
