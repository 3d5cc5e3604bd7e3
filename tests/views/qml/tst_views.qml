import QtQuick
import QtTest
import Sondik

// The window's views on the real stores of `fixture`, fresh for every test.
Item {
    id: root

    width: 320
    height: 400

    Component {
        id: contentComponent

        AppContentView {
            y: 10
            viewState: null
            radioStationStore: fixture.radioStationStore
            radioPlayer: fixture.radioPlayer
            preferences: fixture.preferences
            networkStatus: fixture.networkStatus
            launchAtLogin: fixture.launchAtLogin
        }
    }

    TestCase {
        name: "AppContentView"
        when: windowShown

        property var view: null

        // The second row of the German list.
        readonly property string hot: "s207101"

        function init() {
            fixture.reset();
            view = createTemporaryObject(contentComponent, root);
            verify(view);
        }

        function row(id) {
            let item = null;
            tryVerify(() => (item = findChild(view, "row:" + id)) !== null, 5000, "no row " + id);
            return item;
        }

        function spinner() {
            return findChild(row(hot), "progressIndicator");
        }

        // A click selects, persists and plays with the stored volume, and the
        // row spins for 2 s; a click on the highlighted row stops.
        function test_aClickPlaysAndASecondStops() {
            fixture.preferences.volume = 0.3;
            const clickedAt = Date.now();
            mouseClick(row(hot));
            fuzzyCompare(fixture.firstVolume(), 0.3, 1e-6);
            compare(fixture.radioPlayer.currentStation.id, hot);
            compare(fixture.preferences.selectedRadioStationId, hot);
            verify(row(hot).highlighted && row(hot).Accessible.selected);
            verify(spinner().visible);
            tryVerify(() => !spinner().visible, 10000);
            verify(Date.now() - clickedAt >= 1500, "the spinner went off after " + (Date.now() - clickedAt) + " ms");

            mouseClick(row(hot));
            verify(!fixture.preferences.selectedRadioStationId);
            compare(fixture.radioPlayer.player, null);
            verify(!fixture.radioPlayer.currentStation && !row(hot).highlighted);
        }

        // Nothing found: the missing-station row comes first; it opens the
        // support page and changes nothing else.
        function test_aSearchWithoutMatchesOffersTheSupportPage() {
            mouseClick(row(hot));
            const player = fixture.radioPlayer.player;
            const rows = findChild(view, "rows");
            view.searchText = "no such station";
            compare(rows.count, 0);
            const missing = findChild(view, "missingStationRow");
            tryVerify(() => missing.visible && missing.mapToItem(rows, 0, 0).y === 0);
            mouseClick(missing, 5, 5);
            compare(fixture.openedUrls, ["https://sondik.de/support.html"]);
            compare(fixture.preferences.selectedRadioStationId, hot);
            compare(fixture.radioPlayer.player, player);
        }

        // From the keyboard: the focus starts on the selected row and moves
        // by row, page and end, on to the missing-station row; Return acts
        // as a click; a letter starts a search with it.
        function test_keys() {
            fixture.preferences.selectedRadioStationId = hot;
            const keyed = createTemporaryObject(contentComponent, root);
            const rows = findChild(keyed, "rows");
            tryVerify(() => rows.count > 10);
            rows.forceActiveFocus();
            compare(rows.currentItem.stationId, hot);
            verify(rows.currentItem.activeFocus);

            keyClick(Qt.Key_Down);
            const third = rows.currentItem.stationId;
            compare(rows.currentIndex, 2);
            keyClick(Qt.Key_Return);
            compare(fixture.radioPlayer.currentStation.id, third);
            keyClick(Qt.Key_Space);
            verify(!fixture.radioPlayer.player && !fixture.preferences.selectedRadioStationId);

            keyClick(Qt.Key_PageDown);
            compare(rows.currentIndex, 6);
            keyClick(Qt.Key_Home);
            compare(rows.currentIndex, 0);
            keyClick(Qt.Key_End);
            compare(rows.currentIndex, rows.count - 1);
            keyClick(Qt.Key_Down);
            const missing = findChild(keyed, "missingStationRow");
            verify(missing.activeFocus);
            keyClick(Qt.Key_Enter);
            compare(fixture.openedUrls, ["https://sondik.de/support.html"]);
            keyClick(Qt.Key_Up);
            compare(rows.currentIndex, rows.count - 1);
            verify(rows.currentItem.activeFocus);

            // Nothing found: every move lands on the missing-station row.
            keyed.searchText = "no such station";
            for (const key of [Qt.Key_End, Qt.Key_Up, Qt.Key_PageDown, Qt.Key_Home]) {
                keyClick(key);
                verify(missing.activeFocus, "key " + key);
            }
            keyed.searchText = "";

            keyClick("o");
            compare(keyed.searchText, "o");
            tryVerify(() => findChild(keyed, "searchField") && findChild(keyed, "searchField").activeFocus);
            keyClick("l");
            compare(keyed.searchText, "ol");
        }

        function test_precedence_data() {
            return [
                { tag: "list", showPreferences: false, offline: false, shown: "radioStationListView" },
                { tag: "banner", showPreferences: false, offline: true, shown: "networkStatusView" },
                { tag: "panel over banner", showPreferences: true, offline: true, shown: "preferencesView" },
            ];
        }

        function test_precedence(data) {
            const area = findChild(view, "contentArea");
            fixture.reportConnection(!data.offline);
            tryCompare(fixture.networkStatus, "missingConnection", data.offline);
            view.showPreferences = data.showPreferences;
            compare(area.item.objectName, data.shown);
            // Closing the panel shows what lies under it.
            view.showPreferences = false;
            compare(area.item.objectName, data.offline ? "networkStatusView" : "radioStationListView");
            fixture.reportConnection(true);
            tryVerify(() => area.item.objectName === "radioStationListView");
        }
    }

    TestCase {
        name: "AppTopBarView"
        when: windowShown

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
            fixture.reset();
            station = fixture.radioStationStore.radioStationsVariant()[3];
            fixture.preferences.selectedRadioStationId = station.id;
            // It keeps what it edits, as its owner does.
            bar = createTemporaryQmlObject("import Sondik; AppTopBarView { id: bar; width: 320;"
                                           + " radioStationStore: fixture.radioStationStore;"
                                           + " radioPlayer: fixture.radioPlayer; preferences: fixture.preferences;"
                                           + " onShowPreferencesViewEdited: show => bar.showPreferencesView = show;"
                                           + " onSearchTextEdited: text => bar.searchText = text }", root);
        }

        function test_playPause() {
            const button = part("playPauseButton");
            compare(part("stationName").text, station.name);
            compare(symbolOf(button), "play");
            mouseClick(button);
            compare(fixture.radioPlayer.currentStation.id, station.id);
            compare(symbolOf(button), "pause");
            compare(button.Accessible.name, "Pause");
            mouseClick(button);
            verify(!fixture.radioPlayer.player);
            compare(symbolOf(button), "play");
            // Paused, not stopped: the station stays current.
            compare(fixture.radioPlayer.currentStation.id, station.id);
            // Nothing to play: a selection not in the region's list.
            fixture.preferences.selectedRadioStationId = "no-such-id";
            verify(!button.visible && !part("stationName").visible);
        }

        // The search field opens cleared and focused in the station name's
        // place; it gives way to the preferences panel and comes back,
        // focused, when the panel closes.
        function test_searchAndPreferences() {
            bar.searchText = "old";
            mouseClick(part("searchButton"));
            compare(bar.searchText, "");
            tryVerify(() => part("searchField") && part("searchField").activeFocus);
            verify(!part("stationName").visible);
            keyClick("r");
            keyClick("b");
            compare(bar.searchText, "rb");

            const preferences = part("preferencesButton");
            mouseClick(preferences);
            verify(bar.showPreferencesView && part("stationName").visible && !part("searchButton").visible);
            compare(symbolOf(preferences), "xmark");
            compare(preferences.Accessible.name, "Close preferences");
            tryVerify(() => !part("searchField"));
            mouseClick(preferences);
            tryVerify(() => part("searchField") && part("searchField").activeFocus);

            // The search button closes the field and clears the text.
            mouseClick(part("searchButton"));
            compare(bar.searchText, "");
            tryVerify(() => !part("searchField"));
            verify(part("stationName").visible);
        }
    }

    TestCase {
        name: "PreferencesView"
        when: windowShown

        property Item panel: null

        function init() {
            fixture.reset();
            panel = createTemporaryQmlObject("import Sondik; PreferencesView { width: 320; height: 360;"
                                             + " preferences: fixture.preferences; launchAtLogin: fixture.launchAtLogin }", root);
        }

        // Written while the drag goes on, not only at its end.
        function test_theSliderWritesTheVolumeAsItMoves() {
            fixture.preferences.volume = 0.25;
            const slider = findChild(panel, "volumeSlider");
            fuzzyCompare(slider.value, 0.25, 0.0001);
            const y = slider.height / 2;
            mousePress(slider, slider.leftPadding + slider.availableWidth / 2, y);
            for (let x = slider.width / 2; x >= -20; x -= 10)
                mouseMove(slider, x, y);
            compare(fixture.preferences.volume, 0);
            mouseMove(slider, slider.width + 20, y);
            mouseRelease(slider, slider.width + 20, y);
            compare(fixture.preferences.volume, 1);
        }

        // Help and quit answer a click anywhere across their rows; check for
        // updates answers in a window of its own, saying why it failed.
        function test_theRowsAct() {
            const requests = [];
            panel.helpRequested.connect(() => requests.push("help"));
            panel.quitRequested.connect(() => requests.push("quit"));
            const help = findChild(panel, "helpBox");
            mouseClick(help, help.width * 0.98, help.height / 2);
            const quit = findChild(panel, "quitBox");
            mouseClick(quit, quit.width * 0.02, quit.height / 2);
            compare(requests, ["help", "quit"]);

            // The window's root makes the dialog at the first check.
            const container = createTemporaryQmlObject("import Sondik; AppContainerView {"
                + " viewState: fixture.viewState; radioStationStore: fixture.radioStationStore;"
                + " radioPlayer: fixture.radioPlayer; preferences: fixture.preferences;"
                + " networkStatus: fixture.networkStatus; launchAtLogin: fixture.launchAtLogin;"
                + " updater: fixture.updater }", root);
            const loader = findChild(container, "updateDialog");
            compare(loader.item, null);
            panel.updater = fixture.updater;
            mouseClick(findChild(panel, "checkForUpdatesBox"));
            const dialog = loader.item;
            verify(dialog && dialog.visible);
            tryCompare(fixture.updater, "state", Updater.Failed, 30000);
            compare(findChild(dialog.contentItem, "message").text, fixture.updater.message);
            verify(fixture.updater.message.length > 0);
        }
    }
}
