import QtQuick
import Sondik

// The keyboard focus drawn over a card: a 2-point line in the palette's
// highlight colour along the card's edge, inside it, so nothing moves.
// Shown while `item` has the focus and the keyboard is in use.
Rectangle {
    required property Item item

    radius: 10
    visible: item.activeFocus && FocusVisibility.shown
    color: "transparent"
    border.width: 2
    border.color: palette.highlight

    SystemPalette {
        id: palette
        colorGroup: SystemPalette.Active
    }
}
