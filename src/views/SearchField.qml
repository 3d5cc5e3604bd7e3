import QtQuick
import Sondik

// The top bar's search field. The bar loads it by its address when the
// search opens, so that Qt Quick Controls load then rather than at start.
PlainTextField {
    required property AppTopBarView bar

    objectName: "searchField"
    opacity: 0
    leftPadding: 12
    rightPadding: 12
    color: systemPalette.windowText
    placeholderText: qsTrId("search")
    text: bar.searchText
    onTextEdited: bar.searchTextEdited(text)
    Accessible.name: qsTrId("search")

    // Only the keypad's Enter takes the focus away.
    FirstResponder.identity: FirstResponders.searchfield
    FirstResponder.state: bar.firstResponder
    FirstResponder.resignableUserOperations: FirstResponder.EnterKey
    Keys.onDownPressed: {
        bar.firstResponder.value = undefined;
        bar.keyboardLeft();
    }

    Component.onCompleted: bar.firstResponder.value = FirstResponders.searchfield

    SystemPalette {
        id: systemPalette
        colorGroup: SystemPalette.Active
    }
}
