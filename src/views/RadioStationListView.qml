import QtQuick
import Sondik

// The scrolling list of the stations it is given, the selected one
// highlighted, always ending with the missing-station row. A click on a row
// plays its station, a click on the highlighted row stops it, a click on the
// last row opens the support page.
Item {
    id: list

    required property RadioStationListModel radioStations
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    // True for 2.0 s after a station was chosen: the highlighted row spins.
    property bool isRadioStationLoading: false

    readonly property real loadingSeconds: 2.0

    function selectStation(radioStation) {
        list.preferences.selectedRadioStationId = radioStation.id;
        const volume = list.preferences.volume;
        list.radioPlayer.play(radioStation, volume);
        list.isRadioStationLoading = true;
        // Each click schedules its own reset; a later click cancels none.
        loadingReset.createObject(list);
    }

    function deselectStation() {
        list.preferences.selectedRadioStationId = null;
        list.radioPlayer.stop();
        list.radioPlayer.currentStation = null;
    }

    function openSupportPage() {
        SupportPage.open();
    }

    Component {
        id: loadingReset

        Timer {
            interval: list.loadingSeconds * 1000
            running: true
            onTriggered: {
                list.isRadioStationLoading = false;
                destroy();
            }
        }
    }

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }

    ListView {
        id: rows
        objectName: "rows"
        anchors.fill: parent
        clip: true
        spacing: 10
        boundsBehavior: Flickable.StopAtBounds
        model: list.radioStations

        delegate: Item {
            id: rowFrame

            required property var radioStation
            required property string stationId
            required property string name
            required property string secondLine
            required property string image
            readonly property bool highlighted: list.preferences.selectedRadioStationId === stationId
            // Failed for good: said in place of the city until the next click.
            readonly property bool unreachable: highlighted
                                                && list.radioPlayer.unreachableStationId === stationId
            readonly property string shownSecondLine: unreachable ? qsTrId("unreachable") : secondLine

            objectName: "row:" + stationId
            // A screen reader says the station's name; pressing it is the click.
            Accessible.role: Accessible.Button
            Accessible.name: name
            Accessible.description: shownSecondLine
            Accessible.selected: highlighted
            Accessible.onPressAction: rowFrame.activate()

            function activate() {
                if (highlighted)
                    list.deselectStation();
                else
                    list.selectStation(radioStation);
            }
            width: ListView.view.width
            // The content's height (68), at most 72.
            height: Math.min(72, rowContent.implicitHeight)

            CardView {
                id: rowContent
                x: 10
                width: parent.width - 20
                height: parent.height
                implicitHeight: rowFrame.highlighted ? selected.implicitHeight : plain.implicitHeight
                fill: rowFrame.highlighted
                      ? Qt.rgba(palette.windowText.r, palette.windowText.g, palette.windowText.b, 0.2)
                      : Qt.rgba(palette.window.r, palette.window.g, palette.window.b, 0.4)
                highlightBorder: rowFrame.highlighted
                      ? Qt.rgba(palette.windowText.r, palette.windowText.g, palette.windowText.b, 0.5)
                      : "transparent"

                Loader {
                    id: plain
                    anchors.fill: parent
                    active: !rowFrame.highlighted
                    sourceComponent: RadioStationView {
                        name: rowFrame.name
                        secondLine: rowFrame.shownSecondLine
                        image: rowFrame.image
                    }
                }

                Loader {
                    id: selected
                    anchors.fill: parent
                    active: rowFrame.highlighted
                    sourceComponent: SelectedRadioStationView {
                        objectName: "selectedRadioStationView"
                        name: rowFrame.name
                        secondLine: rowFrame.shownSecondLine
                        image: rowFrame.image
                        showProgressIndicator: list.isRadioStationLoading
                    }
                }
            }

            TapHandler {
                onTapped: rowFrame.activate()
            }
        }

        // The missing-station row scrolls with the stations, 10 below the
        // last one, and 10 free follow it.
        footer: Item {
            width: ListView.view.width
            height: missingCard.y + missingCard.height + 10

            CardView {
                id: missingCard
                objectName: "missingStationRow"
                Accessible.role: Accessible.Link
                Accessible.name: qsTrId("missingstation") + " " + qsTrId("suggeststation")
                Accessible.onPressAction: list.openSupportPage()
                x: 10
                y: rows.count > 0 ? 10 : 0
                width: parent.width - 20
                height: 72

                MissingRadioStationView {
                    anchors.fill: parent
                }

                TapHandler {
                    onTapped: list.openSupportPage()
                }
            }
        }
    }
}
