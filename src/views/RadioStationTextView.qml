import QtQuick

// The station's name over its second line (city, frequency), left-aligned.
Column {
    id: block

    required property string name
    required property string secondLine
    property color nameColor
    property color secondLineColor

    spacing: 2

    Text {
        objectName: "name"
        width: block.width
        text: block.name
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.pixelSize: 13
        color: block.nameColor
    }

    Text {
        objectName: "secondLine"
        width: block.width
        text: block.secondLine
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.pixelSize: 11
        color: block.secondLineColor
    }
}
