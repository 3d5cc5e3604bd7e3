import QtQuick
import Sondik

// For now the station names of the user's region, until the real content
// (top bar, station list, banner, preferences panel) takes this place.
Item {
    id: view

    required property SondikApp app
    required property RadioStationStore radioStationStore
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    required property NetworkStatus networkStatus
    required property WindowStore store

    implicitWidth: 320
    implicitHeight: 360

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    ListView {
        anchors.fill: parent
        anchors.margins: 10
        clip: true
        spacing: 6
        boundsBehavior: Flickable.StopAtBounds
        model: view.radioStationStore.radioStationsVariant()

        delegate: Text {
            required property var modelData

            width: ListView.view.width
            text: modelData.name
            color: palette.windowText
            elide: Text.ElideRight
            font.pixelSize: 14
        }
    }
}
