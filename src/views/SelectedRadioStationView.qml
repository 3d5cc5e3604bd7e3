import QtQuick

// The row of the selected station: like a plain row but without hover, its
// texts white on a light desktop, and while the station loads a dimmed logo
// with a spinner.
Item {
    id: row

    required property string name
    required property string secondLine
    required property string image
    property bool showProgressIndicator: false
    // The desktop's colour scheme, from its palette.
    readonly property bool dark: palette.window.hslLightness < 0.5

    implicitHeight: logo.implicitHeight

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    RadioStationLogoView {
        id: logo
        anchors.verticalCenter: parent.verticalCenter
        image: row.image
        showProgressIndicator: row.showProgressIndicator
    }

    RadioStationTextView {
        anchors.left: logo.right
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        name: row.name
        secondLine: row.secondLine
        nameColor: row.dark ? palette.windowText : "white"
        secondLineColor: row.dark ? Qt.rgba(palette.windowText.r, palette.windowText.g,
                                            palette.windowText.b, 0.5) : "white"
    }
}
