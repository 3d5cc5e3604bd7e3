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
            app: null
            radioStationStore: fixture.radioStationStore
            radioPlayer: fixture.radioPlayer
            preferences: fixture.preferences
            networkStatus: fixture.networkStatus
            store: null
        }
    }

    // Keeps what the window's content keeps, as the content does.
    Component {
        id: topBarComponent

        Item {
            property bool showPreferences: false
            property string searchText: ""
            property alias bar: bar

            anchors.fill: parent

            AppTopBarView {
                id: bar

                width: parent.width
                radioStationStore: fixture.radioStationStore
                radioPlayer: fixture.radioPlayer
                preferences: fixture.preferences
                showPreferencesView: parent.showPreferences
                onShowPreferencesViewEdited: show => parent.showPreferences = show
                searchText: parent.searchText
                onSearchTextEdited: text => parent.searchText = text
            }
        }
    }

    TestCase {
        name: "AppContentView"
        when: windowShown

        property var view: null

        // Second and third rows of the German list.
        readonly property string hot: "s207101"
        readonly property string musicxl: "s142194"

        function init() {
            fixture.reset();
            view = createTemporaryObject(contentComponent, root);
            verify(view);
        }

        function list() {
            return findChild(view, "radioStationListView");
        }

        function row(id) {
            let item = null;
            tryVerify(() => (item = findChild(view, "row:" + id)) !== null, 5000, "no row " + id);
            return item;
        }

        function spinnerOf(id) {
            return findChild(row(id), "progressIndicator");
        }

        // A click selects, persists and plays with the stored volume; the
        // highlighted row spins for 2 s after each click, and a later click
        // cancels no earlier click's end of the spinning.
        function test_aClickPlaysAndSpinsForTwoSeconds() {
            fixture.preferences.volume = 0.3;
            const watch = { at: 0 };
            list().isRadioStationLoadingChanged.connect(() => {
                if (!list().isRadioStationLoading && watch.at === 0)
                    watch.at = Date.now();
            });
            const clickedAt = Date.now();
            mouseClick(row(hot));
            fuzzyCompare(fixture.playerVolumes()[0], 0.3, 1e-6);
            compare(fixture.radioPlayer.currentStation.id, hot);
            compare(fixture.preferences.selectedRadioStationId, hot);
            verify(row(hot).highlighted && row(hot).Accessible.selected);
            verify(spinnerOf(hot).visible);

            wait(1000); // the second click, a second later
            mouseClick(row(musicxl));
            compare(fixture.radioPlayer.currentStation.id, musicxl);
            verify(row(musicxl).highlighted && !row(hot).highlighted);
            verify(spinnerOf(musicxl).visible);
            tryVerify(() => watch.at > 0, 10000);
            verify(watch.at - clickedAt >= 1500, "the spinner went off after " + (watch.at - clickedAt) + " ms");
            verify(!spinnerOf(musicxl).visible);
            // The second click's own end is still to come.
            list().isRadioStationLoading = true;
            tryVerify(() => !list().isRadioStationLoading, 10000);
        }

        function test_aClickOnTheHighlightedRowStops() {
            mouseClick(row(hot));
            mouseClick(row(hot));
            verify(!fixture.preferences.selectedRadioStationId);
            compare(fixture.radioPlayer.player, null);
            verify(!fixture.radioPlayer.currentStation);
            verify(!row(hot).highlighted);
        }

        function test_theSearchFiltersTheStations() {
            mouseClick(row(hot));
            const player = fixture.radioPlayer.player;
            const rows = findChild(list(), "rows");
            const all = rows.count;
            view.searchText = "antenne";
            verify(rows.count > 0 && rows.count < all, "rows: " + rows.count);
            for (let i = 0; i < rows.count; ++i)
                verify(rows.model.get(i).name.toLowerCase().includes("antenne"), rows.model.get(i).name);

            // Nothing left: the missing-station row comes first; it opens the
            // support page and changes nothing else.
            view.searchText = "no such station";
            compare(rows.count, 0);
            const missing = findChild(view, "missingStationRow");
            tryVerify(() => missing.visible && missing.mapToItem(rows, 0, 0).y === 0);
            mouseClick(missing, 5, 5);
            compare(fixture.openedUrls, ["https://sondik.de/support.html"]);
            compare(fixture.preferences.selectedRadioStationId, hot);
            compare(fixture.radioPlayer.player, player);
            view.searchText = "";
            compare(rows.count, all);
        }

        function test_precedence_data() {
            return [
                { tag: "list", showPreferences: false, offline: false, shown: "radioStationListView" },
                { tag: "banner", showPreferences: false, offline: true, shown: "networkStatusView" },
                { tag: "panel", showPreferences: true, offline: false, shown: "preferencesView" },
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
            fixture.reset();
            station = fixture.radioStationStore.radioStationsVariant()[3];
            fixture.preferences.selectedRadioStationId = station.id;
            owner = createTemporaryObject(topBarComponent, root);
            bar = owner.bar;
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

        // The search field opens with the focus and hands each keystroke to
        // its owner; it gives way to the preferences panel and comes back,
        // focused, when the panel closes.
        function test_searchAndPreferences() {
            owner.searchText = "old";
            mouseClick(part("searchButton"));
            compare(owner.searchText, "");
            tryVerify(() => part("searchField") && part("searchField").activeFocus);
            compare(part("searchField").Accessible.name, "Search");
            verify(!part("stationName").visible);
            keyClick("r");
            keyClick("b");
            compare(owner.searchText, "rb");

            const preferences = part("preferencesButton");
            compare(symbolOf(preferences), "ellipsis");
            mouseClick(preferences);
            verify(owner.showPreferences);
            compare(symbolOf(preferences), "xmark");
            compare(preferences.Accessible.name, "Close preferences");
            verify(!part("searchButton").visible);
            verify(part("stationName").visible);
            tryVerify(() => !part("searchField"));
            mouseClick(preferences);
            verify(!owner.showPreferences);
            tryVerify(() => part("searchField") && part("searchField").activeFocus);

            // The search button closes the field and clears the text.
            mouseClick(part("searchButton"));
            compare(owner.searchText, "");
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

        function spy(target, signalName) {
            const spy = createTemporaryQmlObject("import QtTest; SignalSpy {}", root);
            spy.target = target;
            spy.signalName = signalName;
            return spy;
        }

        function test_theSliderWritesTheVolumeAsItMoves() {
            fixture.preferences.volume = 0.25;
            const slider = findChild(panel, "volumeSlider");
            fuzzyCompare(slider.value, 0.25, 0.0001);
            const writes = spy(fixture.preferences, "volumeChanged");
            const y = slider.height / 2;
            mousePress(slider, slider.leftPadding + slider.availableWidth / 2, y);
            for (let x = slider.width / 2; x >= -20; x -= 10)
                mouseMove(slider, x, y);
            compare(fixture.preferences.volume, 0);
            for (let x = -20; x <= slider.width + 20; x += 10)
                mouseMove(slider, x, y);
            mouseRelease(slider, slider.width + 20, y);
            compare(fixture.preferences.volume, 1);
            // Every step of the drag wrote, not only its end.
            verify(writes.count > 10, "writes: " + writes.count);
        }

        // Help and quit answer a click anywhere across their rows; check for
        // updates answers in a window of its own, saying why it failed.
        function test_theRowsAct() {
            const help = findChild(panel, "helpBox");
            const helpRequests = spy(panel, "helpRequested");
            mouseClick(help, help.width * 0.98, help.height / 2);
            compare(helpRequests.count, 1);
            const quit = findChild(panel, "quitBox");
            const quitRequests = spy(panel, "quitRequested");
            mouseClick(quit, quit.width * 0.02, quit.height / 2);
            compare(quitRequests.count, 1);

            const updates = findChild(panel, "checkForUpdatesBox");
            const dialog = createTemporaryQmlObject("import Sondik; UpdateDialog { updater: fixture.updater }", root);
            panel.updater = fixture.updater;
            mouseClick(updates, updates.width / 2, updates.height / 2);
            verify(dialog.visible);
            tryCompare(fixture.updater, "state", Updater.Failed, 30000);
            compare(findChild(dialog.contentItem, "message").text, fixture.updater.message);
            verify(fixture.updater.message.length > 0);
        }
    }
}
