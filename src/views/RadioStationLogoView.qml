import QtQuick

// A station's logo fitted into a 48 × 48 box with rounded corners, with 10
// free on every side. The logo is drawn at the size shown, off the main
// thread; an unknown one draws nothing and the block keeps its size.
Item {
    id: block

    required property string image
    // Dims the logo and spins over it while a station is loading.
    property bool showProgressIndicator: false

    implicitWidth: 68
    implicitHeight: 68

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    Image {
        id: logo
        objectName: "logo"
        x: 10
        y: 10
        width: 48
        height: 48
        source: block.image.length > 0 ? "image://logo/" + block.image : ""
        sourceSize: Qt.size(48, 48)
        fillMode: Image.PreserveAspectFit
        asynchronous: true
    }

    Rectangle {
        objectName: "dimming"
        anchors.fill: logo
        visible: block.showProgressIndicator
        radius: 6
        color: Qt.rgba(palette.window.r, palette.window.g, palette.window.b, 0.4)
    }

    // The desktop's standard spinner size, shown at 0.7. Still behind a
    // hidden window; it turns on from where it stood when shown again.
    ProgressSpinner {
        objectName: "progressIndicator"
        anchors.centerIn: logo
        scale: 0.7
        visible: block.showProgressIndicator
        running: block.showProgressIndicator && block.Window.window !== null
                 && block.Window.window.visible
    }
}
