import QtQuick
import Sondik

// Everything under the window's invisible top line: the top bar over one
// 320 × 360 area that shows the preferences panel, else the no-network
// banner, else the station list filtered by the search text. The whole stack
// reaches 10 above the space it is given.
Item {
    id: view

    required property AppViewState viewState
    required property RadioStationStore radioStationStore
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    required property NetworkStatus networkStatus
    required property LaunchAtLogin launchAtLogin
    property Updater updater: null
    // Whether the preferences panel takes the area; the container keeps it
    // in step with the application's flag.
    property bool showPreferences: false
    // What the user typed into the top bar's search field; the container
    // keeps it when it builds this view anew.
    property string searchText: ""

    readonly property int topInset: -10

    implicitWidth: 320
    implicitHeight: stack.implicitHeight + topInset

    RadioStationListModel {
        id: filteredStations
        radioStationStore: view.radioStationStore
        searchText: view.searchText
    }

    Column {
        id: stack
        y: view.topInset
        width: view.width
        spacing: 8

        AppTopBarView {
            id: topBar
            objectName: "topBar"
            width: 320
            radioStationStore: view.radioStationStore
            radioPlayer: view.radioPlayer
            preferences: view.preferences
            showPreferencesView: view.showPreferences
            onShowPreferencesViewEdited: show => view.viewState.showPreferences = show
            searchText: view.searchText
            onSearchTextEdited: text => view.searchText = text
            onKeyboardLeft: {
                if (contentArea.item.moveFocus)
                    contentArea.item.moveFocus(0);
            }
        }

        Loader {
            id: contentArea
            objectName: "contentArea"
            width: 320
            height: 360

            readonly property Component shown: view.showPreferences ? null
                                             : view.networkStatus.missingConnection ? banner
                                             : stationList
            onShownChanged: show()
            Component.onCompleted: show()

            // The panel by its address, so that Qt Quick Controls load when
            // it first opens rather than at start.
            function show() {
                if (shown) {
                    sourceComponent = shown;
                    return;
                }
                setSource("PreferencesView.qml", {
                    objectName: "preferencesView",
                    preferences: view.preferences,
                    launchAtLogin: view.launchAtLogin,
                    updater: view.updater,
                    version: Qt.application.version
                });
            }
        }

        Component.onCompleted: VolumeHook.installOn(view.preferences, view.radioPlayer)
    }

    Connections {
        target: contentArea.item
        ignoreUnknownSignals: true

        function onHelpRequested() {
            SupportPage.open();
        }

        function onQuitRequested() {
            view.viewState.requestQuit();
        }
    }

    // The keyboard's place when nothing holds it: as the window opens, and
    // after the search field, a hidden button or a replaced panel let it go.
    function restoreFocus() {
        const window = view.Window.window;
        if (!window || !window.active || !contentArea.item)
            return;
        for (let item = window.activeFocusItem; item; item = item.parent) {
            if (item.activeFocusOnTab)
                return;
        }
        view.focusContent();
    }

    function focusContent() {
        if (contentArea.item.takeFocus)
            contentArea.item.takeFocus();
        else
            contentArea.item.forceActiveFocus();
    }

    Connections {
        target: view.Window.window
        function onActiveFocusItemChanged() {
            Qt.callLater(view.restoreFocus);
        }
        function onActiveChanged() {
            Qt.callLater(view.restoreFocus);
        }
        // Opened: the list has the keyboard, unless the search field keeps it.
        function onVisibleChanged() {
            if (view.Window.window.visible && contentArea.item && !topBar.searchFieldFocused)
                view.focusContent();
        }
    }

    // In the search field Escape does nothing; on the panel it goes back to
    // the list; elsewhere it closes the window.
    Keys.onEscapePressed: event => {
        if (topBar.searchFieldFocused) {
            event.accepted = false;
        } else if (view.showPreferences) {
            view.showPreferences = false;
        } else if (view.viewState) {
            view.viewState.requestClose();
        }
    }

    Component {
        id: banner

        Item {
            objectName: "networkStatusView"

            NetworkStatusView {
                anchors.centerIn: parent
            }
        }
    }

    Component {
        id: stationList

        RadioStationListView {
            objectName: "radioStationListView"
            radioStations: filteredStations
            radioPlayer: view.radioPlayer
            preferences: view.preferences
            onTyped: text => topBar.openSearch(text)
        }
    }
}
