import QtQuick
import QtQuick.Controls.impl as ControlsImpl

// A symbol of ":/symbols" by name, drawn in one colour at the item's size
// (20 × 20 unless width and height say otherwise). The symbols are black on
// transparent; IconImage paints them in `color`.
Item {
    id: symbol

    // "play", "pause", "magnifyingglass", "plus.magnifyingglass", ...
    property string name
    property color color: palette.windowText
    // Image.Null without a name, Image.Error for a name without a symbol.
    readonly property alias status: image.status

    implicitWidth: 20
    implicitHeight: 20

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    ControlsImpl.IconImage {
        id: image

        anchors.fill: parent
        source: symbol.name.length > 0 ? "qrc:/symbols/" + symbol.name + ".svg" : ""
        color: symbol.color
        // Image rasterises an SVG at sourceSize times the window's device
        // pixel ratio, so the symbol stays crisp on a scaled screen.
        sourceSize: Qt.size(symbol.width, symbol.height)
        fillMode: Image.PreserveAspectFit
    }
}
