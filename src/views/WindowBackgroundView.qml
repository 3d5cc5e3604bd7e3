import QtQuick

// Draws nothing. Reports the window it sits in one event-loop turn after each
// change, never in the middle of building the scene.
Item {
    id: view

    // The window this item is in, or null.
    property QtObject hostWindow: null

    function report() {
        view.hostWindow = view.Window.window
    }

    Window.onWindowChanged: Qt.callLater(view.report)
    Component.onCompleted: Qt.callLater(view.report)
}
