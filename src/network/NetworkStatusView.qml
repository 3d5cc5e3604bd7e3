import QtQuick
import Sondik

// The banner shown instead of the station list while the connection is
// missing: an icon over one line, lifted 30 above the centre of its area.
Item {
    id: banner

    // Said by a screen reader as it appears.
    Accessible.role: Accessible.AlertMessage
    Accessible.name: message.text

    implicitWidth: column.implicitWidth
    implicitHeight: column.implicitHeight + 60

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    Column {
        id: column
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 8

        SymbolImage {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 20
            height: 20
            name: "wifi.exclamationmark"
            color: palette.windowText
        }

        Text {
            id: message
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTrId("no-internet-connection")
            font.pixelSize: 14
            color: palette.windowText
        }
    }
}
