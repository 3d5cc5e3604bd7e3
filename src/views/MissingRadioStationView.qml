import QtQuick
import Sondik

// The last row of the list: a magnifying glass with a plus and an invitation
// to suggest a station. Grows to 1.02 while the pointer is over it; the list
// draws the card and opens the support page on a click.
Item {
    id: row

    readonly property bool isHover: hover.hovered

    implicitHeight: 72

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

        // 48 × 24 with 10 around: a 68 × 44 block.
        Item {
            id: icon
            width: 68
            height: 44
            anchors.verticalCenter: parent.verticalCenter

            SymbolImage {
                anchors.centerIn: parent
                width: 48
                height: 24
                name: "plus.magnifyingglass"
                color: palette.windowText
            }
        }

        Column {
            anchors.left: icon.right
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2

            Text {
                width: parent.width
                text: qsTrId("missingstation")
                wrapMode: Text.Wrap
                font.pixelSize: 13
                color: palette.windowText
            }

            Text {
                width: parent.width
                text: qsTrId("suggeststation")
                wrapMode: Text.Wrap
                font.pixelSize: 11
                color: Qt.rgba(palette.windowText.r, palette.windowText.g,
                               palette.windowText.b, 0.5)
            }
        }
    }
}
