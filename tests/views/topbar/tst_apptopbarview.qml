import QtQuick
import QtTest
import Sondik

Item {
    id: root

    width: 320
    height: 200

    // Keeps what the window's content keeps, as the content does.
    Component {
        id: ownerComponent

        Item {
            property bool showPreferences: false
            property string searchText: ""
            property alias bar: bar

            anchors.fill: parent

            AppTopBarView {
                id: bar

                width: parent.width
                radioStationStore: testRadioStationStore
                radioPlayer: testRadioPlayer
                preferences: testPreferences
                showPreferencesView: parent.showPreferences
                onShowPreferencesViewEdited: show => parent.showPreferences = show
                searchText: parent.searchText
                onSearchTextEdited: text => parent.searchText = text
            }
        }
    }

    TestCase {
        name: "AppTopBarView"
        when: windowShown

        property Item owner: null
        property Item bar: null
        property var station: null

        function part(name) {
            return findChild(bar, name);
        }

        // The symbol a button shows; it must exist among the program's symbols.
        function symbolOf(button) {
            const symbol = findChild(button, "symbol");
            tryCompare(symbol, "status", Image.Ready);
            return symbol.name;
        }

        function init() {
            testRadioPlayer.stop();
            testRadioPlayer.currentStation = null;
            station = testRadioStationStore.radioStationsVariant()[3];
            testPreferences.selectedRadioStationId = station.id;
            owner = createTemporaryObject(ownerComponent, root);
            bar = owner.bar;
        }

        function cleanup() {
            testRadioPlayer.stop();
        }

        function test_withoutSelectionOnlySearchAndPreferences_data() {
            return [{
                    "tag": "none",
                    "id": ""
                }, {
                    "tag": "not in the region's list",
                    "id": "no-such-id"
                }];
        }

        function test_withoutSelectionOnlySearchAndPreferences(data) {
            testPreferences.selectedRadioStationId = data.id;
            verify(!part("playPauseButton").visible);
            verify(!part("stationName").visible);
            const search = part("searchButton");
            const preferences = part("preferencesButton");
            verify(search.visible && preferences.visible);
            // Pushed to the trailing edge, 10 points in.
            compare(preferences.mapToItem(bar, preferences.width, 0).x, bar.width - 10);
            compare(search.x + search.width + 10, preferences.x);
            compare(part("searchCapsule").width, 0);
        }

        function test_playPause() {
            const button = part("playPauseButton");
            verify(button.visible);
            compare(part("stationName").text, station.name);
            compare(symbolOf(button), "play");
            compare(button.Accessible.name, "Play");
            mouseClick(button);
            verify(testRadioPlayer.player);
            compare(testRadioPlayer.currentStation.id, station.id);
            compare(symbolOf(button), "pause");
            compare(button.Accessible.name, "Pause");
            mouseClick(button);
            verify(!testRadioPlayer.player);
            compare(symbolOf(button), "play");
            // Paused, not stopped: the station stays current.
            compare(testRadioPlayer.currentStation.id, station.id);
        }

        function test_openAndCloseTheSearch() {
            owner.searchText = "old";
            verify(!part("searchField"));
            mouseClick(part("searchButton"));
            compare(owner.searchText, "");
            const field = part("searchField");
            verify(field);
            compare(field.Accessible.name, "Search");
            compare(field.placeholderText, "Search");
            tryVerify(() => field.activeFocus);
            compare(bar.firstResponder.value, FirstResponders.searchfield);
            verify(!part("stationName").visible);
            verify(part("playPauseButton").visible);
            const capsule = part("searchCapsule");
            const search = part("searchButton");
            tryCompare(capsule, "width", search.x - 10 - (26 + 10));

            // Typed text reaches the owner at once.
            keyClick("r");
            keyClick("b");
            compare(owner.searchText, "rb");
            // Only the keypad's Enter takes the focus away.
            keyClick(Qt.Key_Return);
            keyClick(Qt.Key_Escape);
            mouseClick(bar, 2, 2);
            keyClick(Qt.Key_Enter, Qt.KeypadModifier);
            tryCompare(bar.firstResponder, "value", null);
            verify(!field.activeFocus);
            verify(part("searchField"));
            mouseClick(search);
            compare(owner.searchText, "");
            tryVerify(() => !part("searchField"));
            tryCompare(capsule, "width", 0);
            verify(part("stationName").visible);
        }

        function test_preferencesToggle() {
            mouseClick(part("searchButton"));
            tryVerify(() => part("searchField") && part("searchField").activeFocus);
            const preferences = part("preferencesButton");
            compare(symbolOf(preferences), "ellipsis");
            compare(preferences.Accessible.name, "Preferences");
            mouseClick(preferences);
            verify(owner.showPreferences);
            compare(symbolOf(preferences), "xmark");
            compare(preferences.Accessible.name, "Close preferences");
            verify(!part("searchButton").visible);
            verify(!part("searchCapsule").visible);
            verify(part("stationName").visible);
            tryVerify(() => !part("searchField"));
            mouseClick(preferences);
            verify(!owner.showPreferences);
            compare(symbolOf(preferences), "ellipsis");
            verify(part("searchButton").visible);
            verify(!part("stationName").visible);
            tryVerify(() => part("searchField") && part("searchField").activeFocus);
        }
    }
}
