import QtQuick
import Sondik

// The row at the top of the window: play/pause and the selected station's
// name, the search, and the preferences toggle. It writes what its owner
// keeps (the search text, whether the preferences are shown) through signals:
//     AppTopBarView {
//         showPreferencesView: viewState.showPreferences
//         onShowPreferencesViewEdited: show => viewState.showPreferences = show
//         searchText: content.searchText
//         onSearchTextEdited: text => content.searchText = text
//         ...
//     }
Item {
    id: bar

    required property RadioStationStore radioStationStore
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    // true while the preferences panel is shown
    property bool showPreferencesView: false
    property string searchText: ""

    signal showPreferencesViewEdited(bool showPreferencesView)
    signal searchTextEdited(string searchText)
    // Down in the search field: the keyboard goes on to what lies below.
    signal keyboardLeft

    readonly property bool searchFieldFocused: searchFieldLoader.item !== null
                                               && searchFieldLoader.item.activeFocus

    // Opens the search, or goes back to it, with TEXT typed at its end.
    function openSearch(text) {
        bar.searchTextEdited(bar.searchFieldShown ? bar.searchText + text : text);
        bar.showSearchField = true;
        bar.animate = true;
        bar.firstResponder.value = FirstResponders.searchfield;
    }

    // Width of the search capsule: the free width when true, none when false.
    property bool animate: false
    // Whether the search field exists.
    property bool showSearchField: false
    // Which field is to hold the keyboard focus.
    readonly property FirstResponderState firstResponder: FirstResponderState {
    }

    // The selected station of the region's list, or null.
    readonly property var selectedStation: {
        const id = bar.preferences.selectedRadioStationId;
        if (!id)
            return null;
        const stations = bar.radioStationStore.radioStationsVariant();
        for (let i = 0; i < stations.length; ++i) {
            if (stations[i].id === id)
                return stations[i];
        }
        return null;
    }

    readonly property bool searchFieldShown: showSearchField && !showPreferencesView
    // The field stays through its fade-out.
    property bool searchFieldExists: false

    onSearchFieldExistsChanged: {
        if (searchFieldExists)
            searchFieldLoader.setSource("SearchField.qml", { bar: bar });
        else
            searchFieldLoader.source = "";
    }

    onSearchFieldShownChanged: {
        if (searchFieldShown) {
            fadeOut.stop();
            searchFieldExists = true;
            fadeIn.restart();
        } else {
            fadeIn.stop();
            fadeOut.restart();
        }
    }

    implicitWidth: 320
    // The 16-point row and 6 points below it.
    implicitHeight: 22

    SystemPalette {
        id: systemPalette
        colorGroup: SystemPalette.Active
    }

    NumberAnimation {
        id: fadeIn
        target: searchFieldLoader.item
        property: "opacity"
        to: 1
        duration: 800
        easing.type: Easing.InOutQuad
    }

    NumberAnimation {
        id: fadeOut
        target: searchFieldLoader.item
        property: "opacity"
        to: 0
        duration: 200
        easing.type: Easing.InOutQuad
        onFinished: bar.searchFieldExists = false
    }

    // 16 points high; the 26-point buttons reach 5 points above and below.
    Item {
        id: row
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        height: 16

        TopBarButton {
            id: playPauseButton
            objectName: "playPauseButton"
            visible: bar.selectedStation !== null
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            symbol: bar.radioPlayer.player ? "pause" : "play"
            Accessible.name: qsTrId(symbol)
            onClicked: {
                if (bar.radioPlayer.player)
                    bar.radioPlayer.stop();
                else if (bar.selectedStation)
                    bar.radioPlayer.play(bar.selectedStation, bar.preferences.volume);
            }
        }

        Text {
            id: stationName
            objectName: "stationName"
            visible: bar.selectedStation !== null && (!bar.showSearchField || bar.showPreferencesView)
            anchors.left: playPauseButton.right
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: Math.max(0, Math.min(implicitWidth, (searchCapsule.visible ? searchCapsule.x : preferencesButton.x) - 10 - x))
            text: bar.selectedStation ? bar.selectedStation.name : ""
            color: systemPalette.windowText
            elide: Text.ElideRight
        }

        Item {
            id: searchCapsule
            objectName: "searchCapsule"
            visible: !bar.showPreferencesView
            anchors.right: searchButton.left
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            height: 26
            width: bar.animate ? Math.max(0, searchButton.x - 10 - (playPauseButton.visible ? playPauseButton.width + 10 : 0)) : 0
            clip: true

            Behavior on width  {
                NumberAnimation {
                    duration: 200
                    easing.type: Easing.InOutQuad
                }
            }

            Rectangle {
                anchors.fill: parent
                radius: height / 2
                color: systemPalette.window
                opacity: 0.4
            }

            Rectangle {
                anchors.fill: parent
                radius: height / 2
                color: "transparent"
                border.width: 1
                border.color: Qt.rgba(0.5, 0.5, 0.5, 0.1)
            }

            Loader {
                id: searchFieldLoader
                anchors.fill: parent
            }
        }

        TopBarButton {
            id: searchButton
            objectName: "searchButton"
            visible: !bar.showPreferencesView
            anchors.right: preferencesButton.left
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            symbol: "magnifyingglass"
            symbolTrailingInset: 8
            Accessible.name: qsTrId("search")
            onClicked: {
                bar.showSearchField = !bar.showSearchField;
                bar.searchTextEdited("");
                bar.animate = !bar.animate;
            }
        }

        TopBarButton {
            id: preferencesButton
            objectName: "preferencesButton"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            symbol: bar.showPreferencesView ? "xmark" : "ellipsis"
            symbolSize: bar.showPreferencesView ? 12 : 16
            Accessible.name: qsTrId(bar.showPreferencesView ? "close-preferences" : "preferences")
            onClicked: bar.showPreferencesViewEdited(!bar.showPreferencesView)
        }
    }
}
