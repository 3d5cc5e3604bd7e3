import QtQuick
import QtQuick.Controls
import Sondik

// The launch-at-login switch. It shows what the autostart folders hold: after
// each write it reads them again, so a write that did not take flips back.
Switch {
    id: toggle

    required property LaunchAtLogin launchAtLogin
    property string label: qsTrId("launch-at-login")
    property bool labelHidden: false

    text: labelHidden ? "" : label
    checked: launchAtLogin.isEnabled
    onToggled: launchAtLogin.isEnabled = checked

    Accessible.name: label
}
