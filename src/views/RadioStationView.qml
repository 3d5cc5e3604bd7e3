import QtQuick

// A station row as the list shows it when it is not selected: logo, then
// name and second line. It grows to 1.02 while the pointer is over it; the
// list draws the card and takes the clicks.
Item {
    id: row

    required property string name
    required property string secondLine
    required property string image
    readonly property bool isHover: hover.hovered

    implicitHeight: logo.implicitHeight

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    HoverHandler {
        id: hover
    }

    Item {
        objectName: "scaled"
        anchors.fill: parent
        scale: row.isHover ? 1.02 : 1.0
        Behavior on scale {
            NumberAnimation {
                duration: 200
                easing.type: Easing.InOutQuad
            }
        }

        RadioStationLogoView {
            id: logo
            anchors.verticalCenter: parent.verticalCenter
            image: row.image
        }

        RadioStationTextView {
            anchors.left: logo.right
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            name: row.name
            secondLine: row.secondLine
            nameColor: palette.windowText
            secondLineColor: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                     palette.windowText.b, 0.5)
        }
    }
}
