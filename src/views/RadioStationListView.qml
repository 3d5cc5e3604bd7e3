import QtQuick
import Sondik

// The scrolling list of the stations it is given, the selected one
// highlighted, always ending with the missing-station row. A click on a row
// plays its station, a click on the highlighted row stops it, a click on the
// last row opens the support page. From the keyboard: Up, Down, Page Up,
// Page Down, Home and End move the focus through the rows, Return, Enter and
// Space act as the click, and a printable key starts a search with it.
Item {
    id: list

    required property RadioStationListModel radioStations
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    // True for 2.0 s after a station was chosen: the highlighted row spins.
    property bool isRadioStationLoading: false

    readonly property real loadingSeconds: 2.0

    // A printable key typed while the list has the keyboard.
    signal typed(string text)

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

    function takeFocus() {
        rows.forceActiveFocus();
    }

    // Where the focus starts: the selected station, else the first row. The
    // list does not scroll for it until a key moves the focus.
    function resetFocusRow() {
        const selected = list.preferences.selectedRadioStationId;
        let index = 0;
        for (let i = 0; selected && i < rows.count; ++i) {
            if (list.radioStations.get(i).id === selected) {
                index = i;
                break;
            }
        }
        const contentY = rows.contentY;
        rows.currentIndex = Math.min(index, rows.count - 1);
        rows.contentY = contentY;
    }

    // Moves the focus to row INDEX, or past the last row to the missing-station row.
    function moveFocus(index) {
        if (index >= rows.count || rows.count === 0) {
            rows.footerItem.focusCard.forceActiveFocus();
            rows.positionViewAtEnd();
            return;
        }
        rows.currentIndex = Math.max(0, index);
        rows.currentItem.forceActiveFocus();
        rows.positionViewAtIndex(rows.currentIndex, ListView.Contain);
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

    Connections {
        target: list.Window.window
        function onVisibleChanged() {
            if (list.Window.window.visible)
                list.resetFocusRow();
        }
    }

    Component.onCompleted: resetFocusRow()

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
        // Its keys are the list's own (below).
        keyNavigationEnabled: false
        activeFocusOnTab: true

        Accessible.role: Accessible.List
        Accessible.name: qsTrId("stations")

        Keys.onPressed: event => {
            const onFooter = rows.footerItem.focusCard.activeFocus;
            const index = onFooter ? rows.count : rows.currentIndex;
            // Whole rows per page: 72 high, 10 apart.
            const page = Math.max(1, Math.floor(rows.height / 82));
            switch (event.key) {
            case Qt.Key_Up:
                list.moveFocus(index - 1);
                break;
            case Qt.Key_Down:
                list.moveFocus(index + 1);
                break;
            case Qt.Key_PageUp:
                list.moveFocus(index - page);
                break;
            case Qt.Key_PageDown:
                // To the last row; on the missing-station row, stays.
                list.moveFocus(Math.min(index + page, Math.max(index, rows.count - 1)));
                break;
            case Qt.Key_Home:
                list.moveFocus(0);
                break;
            case Qt.Key_End:
                list.moveFocus(rows.count - 1);
                break;
            case Qt.Key_Return:
            case Qt.Key_Enter:
            case Qt.Key_Space:
                if (onFooter)
                    list.openSupportPage();
                else if (rows.currentItem)
                    rows.currentItem.activate();
                break;
            default:
                // Text without Ctrl or Alt (AltGr and Shift give text).
                if (event.text.length > 0 && event.text.trim().length > 0
                        && event.text.charCodeAt(0) >= 32
                        && !(event.modifiers & (Qt.ControlModifier | Qt.AltModifier | Qt.MetaModifier))) {
                    list.typed(event.text);
                    break;
                }
                event.accepted = false;
                return;
            }
            event.accepted = true;
        }

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
            // A screen reader says the station and its city; pressing it is the click.
            Accessible.role: Accessible.ListItem
            Accessible.name: name + ", " + secondLine
            Accessible.description: unreachable ? shownSecondLine : ""
            Accessible.selectable: true
            Accessible.selected: highlighted
            Accessible.focusable: true
            Accessible.focused: activeFocus
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

            FocusRing {
                anchors.fill: rowContent
                item: rowFrame
            }

            // Said once by a screen reader, as the station is given up on.
            Loader {
                anchors.fill: parent
                active: rowFrame.unreachable
                sourceComponent: Item {
                    Accessible.role: Accessible.AlertMessage
                    Accessible.name: rowFrame.name + ": " + qsTrId("unreachable")
                }
            }

            TapHandler {
                onTapped: rowFrame.activate()
            }
        }

        // The missing-station row scrolls with the stations, 10 below the
        // last one, and 10 free follow it.
        footer: Item {
            readonly property Item focusCard: missingCard

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

                Accessible.focusable: true
                Accessible.focused: activeFocus

                MissingRadioStationView {
                    anchors.fill: parent
                }

                FocusRing {
                    anchors.fill: parent
                    item: missingCard
                }

                TapHandler {
                    onTapped: list.openSupportPage()
                }
            }
        }
    }
}
