import Sondik

SymbolImage {
    required property string symbolName
    required property int size

    name: symbolName
    width: size
    height: size
    color: "red"
}
