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

    Component {
        id: panelComponent

        PreferencesView {
            width: 320
            height: 360
            preferences: fixture.preferences
            launchAtLogin: fixture.launchAtLogin
            version: "3.4.5"
        }
    }

    Component {
        id: symbolComponent

        Rectangle {
            property alias symbol: symbol

            width: 24
            height: 24
            color: "white"

            SymbolImage {
                id: symbol

                anchors.fill: parent
                color: "red"
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
        }

        function createView() {
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
            mouseClick(row(musicxl));
            verify(row(musicxl).highlighted);
            verify(!row(hot).highlighted);
            verify(spinnerOf(musicxl).visible);
            compare(fixture.playersCreated, 2);
            tryVerify(() => watch.at > 0, 10000);
            // The second click's own reset is still to come: it cancelled
            // nothing, and the first click's reset ended the spinner.
            list().isRadioStationLoading = true;
            tryVerify(() => !list().isRadioStationLoading, 10000);
        }

        function test_aClickOnTheHighlightedRowStops() {
            createView();
            mouseClick(row(hot));
            mouseClick(row(hot));
            verify(!fixture.preferences.selectedRadioStationId);
            compare(fixture.radioPlayer.player, null);
            verify(!fixture.radioPlayer.currentStation);
            verify(!row(hot).highlighted);
            // The loading flag is left as it was.
            verify(list().isRadioStationLoading);
        }

        function test_aPersistedSelectionIsHighlightedAtStart() {
            fixture.preferences.selectedRadioStationId = musicxl;
            createView();
            verify(row(musicxl).highlighted);
            verify(findChild(row(musicxl), "selectedRadioStationView"));
            verify(!row(hot).highlighted);
            verify(!spinnerOf(musicxl).visible);
            compare(fixture.radioPlayer.player, null);
        }

        function test_anEmptyListStillEndsWithTheMissingStationRow_data() {
            return [
                { tag: "spaces only", searchText: "   " },
                { tag: "no match", searchText: "no such station" },
            ];
        }

        // The missing-station row opens the support page and changes nothing else.
        function test_anEmptyListStillEndsWithTheMissingStationRow(data) {
            createView();
            mouseClick(row(hot));
            const player = fixture.radioPlayer.player;
            view.searchText = data.searchText;
            const rows = findChild(list(), "rows");
            compare(rows.count, 0);
            const missing = findChild(view, "missingStationRow");
            verify(missing && missing.visible);
            tryVerify(() => missing.mapToItem(rows, 0, 0).y === 0);
            compare(missing.height, 72);
            mouseClick(missing, 5, 5);
            compare(fixture.openedUrls, ["https://sondik.de/support.html"]);
            compare(fixture.preferences.selectedRadioStationId, hot);
            compare(fixture.radioPlayer.player, player);
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

        function test_withoutSelectionOnlySearchAndPreferences_data() {
            return [
                { tag: "none", id: "" },
                { tag: "not in the region's list", id: "no-such-id" },
            ];
        }

        function test_withoutSelectionOnlySearchAndPreferences(data) {
            fixture.preferences.selectedRadioStationId = data.id;
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
            compare(fixture.radioPlayer.currentStation.id, station.id);
            compare(symbolOf(button), "pause");
            compare(button.Accessible.name, "Pause");
            mouseClick(button);
            verify(!fixture.radioPlayer.player);
            compare(symbolOf(button), "play");
            // Paused, not stopped: the station stays current.
            compare(fixture.radioPlayer.currentStation.id, station.id);
        }

        function test_openAndCloseTheSearch() {
            owner.searchText = "old";
            verify(!part("searchField"));
            mouseClick(part("searchButton"));
            compare(owner.searchText, "");
            const field = part("searchField");
            compare(field.Accessible.name, "Search");
            compare(field.placeholderText, "Search");
            tryVerify(() => field.activeFocus);
            compare(bar.firstResponder.value, FirstResponders.searchfield);
            verify(!part("stationName").visible);
            verify(part("playPauseButton").visible);
            const capsule = part("searchCapsule");
            const search = part("searchButton");
            tryCompare(capsule, "width", search.x - 10 - (26 + 10));

            // Typed text reaches the owner at once; keypad Enter leaves the field open.
            keyClick("r");
            keyClick("b");
            compare(owner.searchText, "rb");
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

    TestCase {
        name: "PreferencesView"
        when: windowShown

        property Item panel: null

        function init() {
            fixture.reset();
            panel = createTemporaryObject(panelComponent, root);
        }

        function spy(target, signalName) {
            const spy = createTemporaryQmlObject("import QtTest; SignalSpy {}", root);
            spy.target = target;
            spy.signalName = signalName;
            return spy;
        }

        function test_fadesInAtEveryShowing() {
            fixture.preferences.volume = 0.5;
            const scroll = findChild(panel, "scroll");
            compare(scroll.opacity, 0);
            tryCompare(scroll, "opacity", 1, 10000);
            grabImage(panel).save(fixture.artifacts + "/preferences-panel.png");
            panel.visible = false;
            compare(scroll.opacity, 0);
            panel.visible = true;
            verify(scroll.opacity < 1);
            tryCompare(scroll, "opacity", 1, 10000);
        }

        function test_versionLine() {
            const line = findChild(panel, "versionLine");
            compare(line.text, "Sondik v.3.4.5");
            panel.version = undefined;
            compare(line.text, "Sondik v.1.2");
            // An empty version shows nothing after the literal.
            panel.version = "";
            compare(line.text, "Sondik v.");
        }

        function test_sliderShowsAndWritesTheVolume() {
            fixture.preferences.volume = 0.25;
            const slider = findChild(panel, "volumeSlider");
            compare(slider.width, 120);
            fuzzyCompare(slider.value, 0.25, 0.0001);

            const writes = spy(fixture.preferences, "volumeChanged");
            const y = slider.height / 2;
            mousePress(slider, slider.leftPadding + slider.availableWidth / 2, y);
            let last = 1;
            for (let x = slider.width / 2; x >= -20; x -= 10) {
                mouseMove(slider, x, y);
                verify(fixture.preferences.volume <= last);
                last = fixture.preferences.volume;
            }
            compare(fixture.preferences.volume, 0);
            for (let x = -20; x <= slider.width + 20; x += 10)
                mouseMove(slider, x, y);
            mouseRelease(slider, slider.width + 20, y);
            compare(fixture.preferences.volume, 1);
            // Every step of the drag wrote, not only its end.
            verify(writes.count > 10, "writes: " + writes.count);
            fuzzyCompare(slider.value, 1, 0.0001);
        }

        function test_hoverEnlargesOnlyThePointedRow() {
            const boxes = ["checkForUpdatesBox", "helpBox", "quitBox"].map(n => findChild(panel, n));
            mouseMove(boxes[1], boxes[1].width / 2, boxes[1].height / 2);
            tryCompare(boxes[1].row, "scale", 1.01, 5000);
            compare(boxes[0].row.scale, 1);
            compare(boxes[2].row.scale, 1);
            mouseMove(boxes[2], 3, boxes[2].height / 2);
            tryCompare(boxes[1].row, "scale", 1, 5000);
            tryCompare(boxes[2].row, "scale", 1.01, 5000);
        }

        function test_clickAnywhereAcrossARow_data() {
            const data = [];
            for (const x of [0.02, 0.5, 0.98]) {
                data.push({ tag: "help at " + x, box: "helpBox", signalName: "helpRequested", x: x });
                data.push({ tag: "quit at " + x, box: "quitBox", signalName: "quitRequested", x: x });
            }
            return data;
        }

        function test_clickAnywhereAcrossARow(data) {
            const box = findChild(panel, data.box);
            const requests = spy(panel, data.signalName);
            mouseClick(box, box.width * data.x, box.height / 2);
            compare(requests.count, 1);
        }

        function test_checkForUpdates() {
            const box = findChild(panel, "checkForUpdatesBox");
            const updater = fixture.updater;
            // Without an updater the row does nothing, and says nothing.
            mouseClick(box, box.width / 2, box.height / 2);
            compare(updater.state, Updater.Idle);
            const dialog = createTemporaryQmlObject("import Sondik; UpdateDialog { updater: fixture.updater }", root);
            verify(!dialog.visible);
            panel.updater = updater;
            mouseClick(box, box.width / 2, box.height / 2);
            verify(updater.state !== Updater.Idle);
            // The answer comes in a window of its own, saying why it failed.
            verify(dialog.visible);
            tryVerify(() => updater.state === Updater.Failed, 30000);
            compare(findChild(dialog.contentItem, "message").text, updater.message);
            verify(updater.message.length > 0);
        }
    }

    // SymbolImage draws the named symbol at its size, in its colour only.
    TestCase {
        name: "SymbolImage"
        when: windowShown

        function test_drawsTinted_data() {
            return ["play", "pause", "magnifyingglass", "ellipsis", "xmark", "wifi.exclamationmark",
                    "plus.magnifyingglass", "checkmark", "no-such-symbol"].map(name => ({ tag: name, name: name }));
        }

        function test_drawsTinted(data) {
            const known = data.name !== "no-such-symbol";
            if (!known)
                ignoreWarning(new RegExp(data.name));
            const host = createTemporaryObject(symbolComponent, root);
            host.symbol.name = data.name;
            tryCompare(host.symbol, "status", known ? Image.Ready : Image.Error);
            waitForRendering(host);
            const image = grabImage(host);
            compare(image.width, 24);
            let tinted = 0;
            let other = 0;
            for (let y = 0; y < image.height; ++y) {
                for (let x = 0; x < image.width; ++x) {
                    const pixel = image.pixel(x, y);
                    if (Qt.colorEqual(pixel, "white"))
                        continue;
                    // Over white, a partly covered pixel of the tint keeps its hue.
                    if (pixel.r >= 250 / 255 && pixel.g === pixel.b)
                        ++tinted;
                    else
                        ++other;
                }
            }
            compare(other, 0);
            verify(known ? tinted > 20 : tinted === 0, "tinted pixels: " + tinted);
        }
    }
}
