import QtQuick
import QtQuick.Controls
import Sondik

ApplicationWindow {
    id: root

    required property RadioStationStore radioStationStore
    required property Preferences preferences

    width: 320
    height: 420
    visible: true
    title: "Sondik"

    ListView {
        anchors.fill: parent
        clip: true
        model: root.radioStationStore.radioStationsVariant()
        delegate: ItemDelegate {
            required property var modelData
            width: ListView.view.width
            highlighted: modelData.id === root.preferences.selectedRadioStationId
            text: modelData.name
            onClicked: root.preferences.selectedRadioStationId = modelData.id
        }
    }
}
