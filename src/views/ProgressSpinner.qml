import QtQuick

// Twelve ticks turning in the text colour: a station is loading. A plain
// QML animation, which stops the moment it is told to; Qt Quick Controls'
// busy indicator keeps asking a hidden window for frames, waking the program
// sixty times a second for as long as the window stays hidden.
Item {
    id: spinner

    property bool running: true

    implicitWidth: 32
    implicitHeight: 32

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    Item {
        anchors.fill: parent

        Repeater {
            model: 12

            Rectangle {
                required property int index
                x: (spinner.width - width) / 2
                width: 3
                height: spinner.height * 0.28
                radius: width / 2
                color: palette.windowText
                opacity: 0.15 + 0.85 * index / 11
                transform: Rotation {
                    origin.x: 1.5
                    origin.y: spinner.height / 2
                    angle: index * 30
                }
            }
        }

        NumberAnimation on rotation {
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
            running: spinner.running
        }
    }
}
