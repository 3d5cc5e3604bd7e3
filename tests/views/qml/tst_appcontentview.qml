import QtQuick
import QtTest
import Sondik

// The window's content on the real stores: clicks on rows, the spinner, the
// missing-station row, what the content area shows, the volume hook.
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

    TestCase {
        id: test

        name: "AppContentView"
        when: windowShown

        property var view: null

        // Second and third rows of the German list.
        readonly property string hot: "s207101"
        readonly property string musicxl: "s142194"

        function init() {
            fixture.reset();
        }

        function createView() {
            view = createTemporaryObject(contentComponent, root);
            verify(view);
            return view;
        }

        function list() {
            const item = findChild(view, "radioStationListView");
            verify(item, "no station list");
            return item;
        }

        function row(id) {
            let item = null;
            tryVerify(() => (item = findChild(view, "row:" + id)) !== null, 5000, "no row " + id);
            return item;
        }

        function spinnerOf(id) {
            return findChild(row(id), "progressIndicator");
        }

        // Wall-clock time at which the list's loading flag next turns false.
        function whenLoadingEnds() {
            const watch = { at: 0 };
            const l = list();
            l.isRadioStationLoadingChanged.connect(() => {
                if (!l.isRadioStationLoading && watch.at === 0)
                    watch.at = Date.now();
            });
            return watch;
        }

        function test_aClickSelectsPersistsAndPlaysWithTheStoredVolume() {
            fixture.preferences.volume = 0.3;
            createView();
            const watch = whenLoadingEnds();
            const clickedAt = Date.now();
            mouseClick(row(hot));

            compare(fixture.preferences.selectedRadioStationId, hot);
            compare(fixture.savedSelection(), hot);
            verify(fixture.radioPlayer.player !== null);
            compare(fixture.playerUrl(), "http://stream.absolutradio.de/hot/mp3-128/listenlive.m3u");
            // The player is handed the stored volume; the fade starts from 0.
            fuzzyCompare(fixture.playerVolumes()[0], 0.3, 1e-6);
            compare(fixture.radioPlayer.currentStation.id, hot);
            verify(row(hot).highlighted);
            compare(row(hot).Accessible.name, "Absolut Hot");
            verify(row(hot).Accessible.selected);
            verify(findChild(row(hot), "selectedRadioStationView"));
            verify(list().isRadioStationLoading);
            verify(spinnerOf(hot).visible);

            tryVerify(() => watch.at > 0, 10000);
            verify(watch.at - clickedAt >= 1950, "the spinner went off after " + (watch.at - clickedAt) + " ms");
            verify(!spinnerOf(hot).visible);
            verify(row(hot).highlighted);
        }

        // The first click's reset is not cancelled by the second click.
        function test_twoClicksOneSecondApart() {
            createView();
            mouseClick(row(hot));
            wait(1000);
            const watch = whenLoadingEnds();
            const secondAt = Date.now();
            mouseClick(row(musicxl));
            verify(row(musicxl).highlighted);
            verify(!row(hot).highlighted);
            verify(spinnerOf(musicxl).visible);
            compare(fixture.playersCreated(), 2);
            tryVerify(() => watch.at > 0, 10000);
            // About 1 s after the second click; its own reset would be at 2 s.
            verify(watch.at - secondAt < 1500, "the spinner went off " + (watch.at - secondAt) + " ms after the second click");
        }

        function test_aClickOnTheHighlightedRowStops() {
            createView();
            mouseClick(row(hot));
            verify(fixture.radioPlayer.player !== null);
            mouseClick(row(hot));

            verify(!fixture.preferences.selectedRadioStationId);
            compare(fixture.savedSelection(), undefined);
            compare(fixture.radioPlayer.player, null);
            verify(!fixture.radioPlayer.currentStation);
            verify(!row(hot).highlighted);
            // The loading flag is left as it was.
            verify(list().isRadioStationLoading);

            mouseClick(row(hot));
            compare(fixture.preferences.selectedRadioStationId, hot);
            verify(fixture.radioPlayer.player !== null);
        }

        function test_theMissingStationRowOpensTheSupportPageOnly() {
            createView();
            mouseClick(row(hot));
            const player = fixture.radioPlayer.player;
            view.searchText = "absolut relax";
            const missing = findChild(view, "missingStationRow");
            verify(missing);
            tryVerify(() => list().height > missing.mapToItem(list(), 0, 0).y + missing.height);
            mouseClick(missing, 5, 5);

            compare(fixture.openedUrls, [SupportPage.address]);
            compare(SupportPage.address.length, 30);
            compare(fixture.preferences.selectedRadioStationId, hot);
            compare(fixture.radioPlayer.player, player);
        }

        function test_anEmptyListStillEndsWithTheMissingStationRow_data() {
            return [
                { tag: "spaces only", searchText: "   " },
                { tag: "no match", searchText: "no such station" },
            ];
        }

        function test_anEmptyListStillEndsWithTheMissingStationRow(data) {
            createView();
            view.searchText = data.searchText;
            const rows = findChild(list(), "rows");
            compare(rows.count, 0);
            const missing = findChild(view, "missingStationRow");
            verify(missing && missing.visible);
            tryVerify(() => missing.mapToItem(rows, 0, 0).y === 0);
            compare(missing.height, 72);
            view.searchText = "";
            compare(rows.count, fixture.radioStationStore.radioStationsVariant().length);
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
            createView();
            const area = findChild(view, "contentArea");
            compare(area.width, 320);
            compare(area.height, 360);
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

        function test_theVolumeHookReachesOnlyAPlayingStream() {
            // Before the view appears, nothing connects the setting to the player.
            fixture.radioPlayer.play(fixture.radioStationStore.radioStationsVariant()[1], 0.5);
            fixture.preferences.volume = 0.2;
            compare(fixture.playerVolumes().indexOf(0.2), -1);
            fixture.radioPlayer.stop();

            createView();
            fixture.preferences.volume = 0.8; // nothing plays: only stored
            compare(fixture.preferences.volume, 0.8);
            mouseClick(row(hot));
            fuzzyCompare(fixture.playerVolumes()[0], 0.8, 1e-6);
            fixture.preferences.volume = 0.6;
            const volumes = fixture.playerVolumes();
            fuzzyCompare(volumes[volumes.length - 1], 0.6, 1e-6);
        }

        function test_aPersistedSelectionIsHighlightedAtStart() {
            fixture.reset(musicxl);
            createView();
            verify(row(musicxl).highlighted);
            verify(findChild(row(musicxl), "selectedRadioStationView"));
            verify(!row(hot).highlighted);
            verify(!spinnerOf(musicxl).visible);
            compare(fixture.radioPlayer.player, null);
        }
    }
}
