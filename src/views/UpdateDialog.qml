import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Sondik

// The answer of the update check, in a small window of its own so that it
// stays when the tray window closes. Its owner presents it whenever a check
// starts.
Window {
    id: dialog

    required property Updater updater

    title: qsTrId("check-for-updates")
    flags: Qt.Dialog
    width: 360
    height: Math.max(120, layout.implicitHeight + 32)
    minimumWidth: 280

    function present() {
        dialog.show();
        dialog.raise();
        dialog.requestActivate();
    }

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    color: palette.window

    ColumnLayout {
        id: layout

        anchors.fill: parent
        anchors.margins: 16
        spacing: 12

        RowLayout {
            spacing: 10

            BusyIndicator {
                visible: dialog.updater.state === Updater.Checking
                running: visible
                Layout.preferredWidth: 24
                Layout.preferredHeight: 24
            }

            Label {
                objectName: "message"
                Layout.fillWidth: true
                text: dialog.updater.message
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
            }
        }

        Label {
            visible: dialog.updater.state === Updater.UpdateAvailable
                     && dialog.updater.releaseNotes.toString() !== ""
            text: "<a href=\"notes\">" + qsTrId("Release notes") + "</a>"
            textFormat: Text.StyledText
            onLinkActivated: dialog.updater.openReleaseNotes()
        }

        RowLayout {
            Layout.alignment: Qt.AlignRight
            spacing: 8

            Button {
                visible: dialog.updater.state === Updater.UpdateAvailable
                         && dialog.updater.downloadPage.toString() !== ""
                text: qsTrId("Open download page")
                onClicked: {
                    dialog.updater.openDownloadPage()
                    dialog.close()
                }
            }

            Button {
                text: qsTrId("Close")
                onClicked: dialog.close()
            }
        }
    }
}
