import QtQuick

// One action of the preferences panel: a card whose whole width takes the
// click, grown a little while the pointer is over it; Tab reaches it, Return
// and Space press it.
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

    FocusRing {
        anchors.fill: parent
        item: box
    }

    activeFocusOnTab: true
    Keys.onPressed: event => {
        if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter || event.key === Qt.Key_Space) {
            box.clicked();
            event.accepted = true;
        }
    }

    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.focusable: true
    Accessible.focused: activeFocus
    Accessible.onPressAction: box.clicked()
}
