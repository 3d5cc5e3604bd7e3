import QtQuick
import QtQuick.Controls
import Sondik

// The preferences panel in place of the station list: the volume, launch at
// login, the update check, help, quit, and the version. It fades in each time
// it is shown.
Item {
    id: view

    required property Preferences preferences
    required property LaunchAtLogin launchAtLogin
    // None when the build names no appcast: the row then does nothing.
    property Updater updater: null
    // The build's version; undefined or null when there is none.
    property var version

    signal helpRequested
    signal quitRequested

    // The keyboard rests on the panel; Tab goes on to its controls.
    function takeFocus() {
        view.forceActiveFocus();
    }

    implicitWidth: 320
    implicitHeight: 360

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    NumberAnimation {
        id: fadeIn
        target: scroll
        property: "opacity"
        from: 0
        to: 1
        duration: 800
        easing.type: Easing.InOutQuad
    }

    Component.onCompleted: fadeIn.restart()
    onVisibleChanged: {
        if (visible)
            fadeIn.restart()
        else
            scroll.opacity = 0
    }

    Flickable {
        id: scroll
        objectName: "scroll"

        anchors.fill: parent
        opacity: 0
        clip: true
        contentWidth: width
        contentHeight: column.implicitHeight
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: column

            x: 10
            width: scroll.width - 20
            spacing: 10

            PreferencesBox {
                width: column.width
                implicitHeight: settings.implicitHeight + 4 + 14

                Column {
                    id: settings

                    x: 14
                    y: 4
                    width: parent.width - 28
                    spacing: 8

                    Item {
                        width: settings.width
                        implicitHeight: Math.max(volumeLabel.implicitHeight,
                                                 volumeSlider.implicitHeight)

                        Text {
                            id: volumeLabel
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTrId("volume")
                            color: palette.windowText
                        }

                        Slider {
                            id: volumeSlider
                            objectName: "volumeSlider"

                            anchors.right: parent.right
                            anchors.verticalCenter: parent.verticalCenter
                            width: 120
                            from: 0
                            to: 1
                            // The arrow keys' step; dragging does not snap to it.
                            stepSize: 0.05
                            snapMode: Slider.NoSnap
                            live: true
                            value: view.preferences.volume
                            // In hundredths, so that key steps add up without drift.
                            onMoved: view.preferences.volume = Math.round(value * 100) / 100
                            Accessible.name: volumeLabel.text
                            // What Qt's accessibility bridge reads as the range.
                            readonly property real minimumValue: from
                            readonly property real maximumValue: to
                        }

                        FocusRing {
                            anchors.fill: volumeSlider
                            anchors.margins: -3
                            radius: height / 2
                            item: volumeSlider
                        }
                    }

                    // The divider on a faint light-gray ground.
                    Rectangle {
                        width: settings.width
                        height: 1
                        color: Qt.rgba(0.667, 0.667, 0.667, 0.1)

                        Rectangle {
                            anchors.fill: parent
                            color: palette.mid
                            opacity: 0.5
                        }
                    }

                    Item {
                        width: settings.width
                        implicitHeight: Math.max(loginLabel.implicitHeight,
                                                 loginToggle.implicitHeight)

                        Text {
                            id: loginLabel
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTrId("launch-at-login")
                            color: palette.windowText
                        }

                        Toggle {
                            id: loginToggle
                            objectName: "launchAtLoginToggle"

                            anchors.right: parent.right
                            anchors.verticalCenter: parent.verticalCenter
                            launchAtLogin: view.launchAtLogin
                            labelHidden: true
                        }

                        FocusRing {
                            anchors.fill: loginToggle
                            anchors.margins: -3
                            radius: 6
                            item: loginToggle
                        }
                    }
                }
            }

            PreferencesActionBox {
                objectName: "checkForUpdatesBox"
                width: column.width
                text: qsTrId("check-for-updates")
                onClicked: {
                    if (view.updater)
                        view.updater.checkForUpdates()
                }
            }

            PreferencesActionBox {
                objectName: "helpBox"
                width: column.width
                text: qsTrId("help")
                onClicked: view.helpRequested()
            }

            PreferencesActionBox {
                objectName: "quitBox"
                width: column.width
                text: qsTrId("quit")
                onClicked: view.quitRequested()
            }

            Column {
                width: column.width
                topPadding: 60
                spacing: 4

                Text {
                    objectName: "versionLine"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTrId("Sondik v.%1").arg(view.version === undefined
                                                    || view.version === null ? "1.2" : view.version)
                    font.pixelSize: 11
                    color: palette.windowText
                    opacity: 0.5 * 0.6
                }

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: qsTrId("Made with ♥ in Germany")
                    font.pixelSize: 11
                    color: palette.windowText
                    opacity: 0.5 * 0.6
                }
            }
        }
    }
}
