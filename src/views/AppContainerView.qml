import QtQuick
import Sondik

// The root of the window's content. It learns which window hosts it, reports
// that window through windowCreated (the application's onWindowCreated), and
// shows the content once the application has configured the window.
Item {
    id: root

    required property SondikApp app
    required property RadioStationStore radioStationStore
    required property RadioPlayer radioPlayer
    required property Preferences preferences
    required property NetworkStatus networkStatus
    // Set by the application once the reported window is configured.
    property WindowStore windowStore: null

    signal windowCreated(QtObject window)

    // The search text outlives the content built from it.
    property string searchText: ""

    // The content reaches this far past the window's bottom edge.
    readonly property int bottomOverhang: 12

    // Laid out by bindings rather than a positioner: a positioner settles its
    // size only when the window draws, and the window is placed by its size
    // before it is shown.
    implicitWidth: Math.max(radioLine.implicitWidth, content.implicitWidth)
    implicitHeight: Math.max(1, content.y + content.implicitHeight - bottomOverhang)

    WindowVisualEffectView {
        anchors.fill: parent
        translucent: root.windowStore ? root.windowStore.translucent : true
        blurBehind: root.windowStore ? root.windowStore.blurBehind : false
        backgroundColor: root.windowStore ? root.windowStore.backgroundColor : "transparent"
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
        active: root.windowStore !== null

        sourceComponent: AppContentView {
            app: root.app
            radioStationStore: root.radioStationStore
            radioPlayer: root.radioPlayer
            preferences: root.preferences
            networkStatus: root.networkStatus
            store: root.windowStore
            searchText: root.searchText
            onSearchTextChanged: root.searchText = searchText
            // Both ways: the view's writes reach the application, and the
            // application's (a closing window clears it) reach the view.
            onShowPreferencesChanged: {
                if (root.app && root.app.showPreferences !== showPreferences)
                    root.app.showPreferences = showPreferences;
            }
            Binding on showPreferences {
                value: root.app ? root.app.showPreferences : false
            }
        }
    }

    // The update check's answer opens in a window of its own, so it outlives
    // the panel and the popup closing.
    Loader {
        active: root.app !== null && root.app.updater !== null
        sourceComponent: UpdateDialog {
            updater: root.app.updater
        }
    }
}
