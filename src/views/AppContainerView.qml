import QtQuick
import Sondik

// The root of the window's content. It learns which window hosts it, reports
// that window through windowCreated (the application's onWindowCreated), and
// shows the content once the application has configured the window.
Item {
    id: root

    // The shown panel and, once the reported window is configured, its look.
    required property AppViewState viewState
    required property RadioStationStore radioStationStore
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    required property NetworkStatus networkStatus
    required property LaunchAtLogin launchAtLogin
    // Null when the build names no appcast.
    property Updater updater: null

    signal windowCreated(QtObject window)

    // The search text outlives the content built from it.
    property string searchText: ""

    // Laid out by bindings rather than a positioner: a positioner settles its
    // size only when the window draws, and the window is placed by its size
    // before it is shown.
    implicitWidth: Math.max(radioLine.implicitWidth, content.implicitWidth)
    // To the content's bottom edge: the list's last row and the gap after it
    // are the window's last pixels.
    implicitHeight: Math.max(1, content.y + content.implicitHeight)

    WindowVisualEffectView {
        anchors.fill: parent
        translucent: root.viewState.translucent
        blurBehind: root.viewState.blurBehind
        backgroundColor: root.viewState.backgroundColor
    }

    WindowBackgroundView {
        anchors.fill: parent
        onHostWindowChanged: {
            if (hostWindow)
                root.windowCreated(hostWindow)
        }
    }

    // Draws nothing, keeps its line at the top.
    Text {
        id: radioLine
        objectName: "radioLine"
        x: (root.width - width) / 2
        text: qsTrId("Radio")
        opacity: 0
    }

    Loader {
        id: content
        objectName: "contentLoader"
        x: (root.width - width) / 2
        y: radioLine.implicitHeight + 8
        active: root.viewState.windowConfigured

        sourceComponent: AppContentView {
            viewState: root.viewState
            radioStationStore: root.radioStationStore
            radioPlayer: root.radioPlayer
            preferences: root.preferences
            networkStatus: root.networkStatus
            launchAtLogin: root.launchAtLogin
            updater: root.updater
            searchText: root.searchText
            onSearchTextChanged: root.searchText = searchText
            // Both ways: the view's writes reach the application, and the
            // application's (a closing window clears it) reach the view.
            onShowPreferencesChanged: {
                if (root.viewState.showPreferences !== showPreferences)
                    root.viewState.showPreferences = showPreferences;
            }
            Binding on showPreferences {
                value: root.viewState.showPreferences
            }
        }
    }

    // The update check's answer opens in a window of its own, so it outlives
    // the panel and the popup closing. It is made at the first check, by its
    // address, so that Qt Quick Controls load then rather than at start.
    Loader {
        id: updateDialog
        objectName: "updateDialog"
    }

    Connections {
        target: root.updater

        function onCheckStarted() {
            if (!updateDialog.item)
                updateDialog.setSource("UpdateDialog.qml", { updater: root.updater });
            updateDialog.item.present();
        }
    }
}
