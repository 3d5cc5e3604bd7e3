import QtQuick
import QtQuick.Controls

// The program's text field: no frame, no background and no focus ring of its
// own; what lies behind it is its only chrome. Every text field of the
// program is one of these.
TextField {
    background: null
    topPadding: 0
    bottomPadding: 0
    verticalAlignment: TextInput.AlignVCenter
}
