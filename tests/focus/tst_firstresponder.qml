import QtQuick
import QtQuick.Controls
import QtTest
import Sondik

Item {
    id: root

    width: 400
    height: 300

    Component {
        id: stateComponent

        FirstResponderState {
        }
    }

    Component {
        id: fieldComponent

        TextField {
            property var fieldIdentity: 1
            property FirstResponderState sharedState: null
            property int operations: FirstResponder.EnterKey

            width: 100
            height: 30
            FirstResponder.identity: fieldIdentity
            FirstResponder.state: sharedState
            FirstResponder.resignableUserOperations: operations
        }
    }

    Component {
        id: editorComponent

        TextArea {
            property var fieldIdentity: "notes"
            property FirstResponderState sharedState: null
            property int operations: FirstResponder.All

            width: 100
            height: 60
            FirstResponder.identity: fieldIdentity
            FirstResponder.state: sharedState
            FirstResponder.resignableUserOperations: operations
        }
    }

    Component {
        id: windowComponent

        Window {
            width: 200
            height: 100
            visible: true
        }
    }

    TestCase {
        name: "FirstResponder"
        when: windowShown

        property FirstResponderState shared: null
        // Every value written to `shared`, in order.
        property var writes: []

        // Keys go to the active window; a window shown by a test takes that.
        function activate(window) {
            window.requestActivate();
            tryVerify(() => window.active);
        }

        function init() {
            activate(root.Window.window);
            shared = createTemporaryObject(stateComponent, root);
            writes = [];
            shared.valueChanged.connect(() => writes.push(shared.value));
        }

        // A field on `shared`, known to its window's publisher (one turn later).
        function makeField(properties, parent, component) {
            const field = createTemporaryObject(component || fieldComponent, parent || root,
                                                Object.assign({ sharedState: shared }, properties));
            tryVerify(() => probe.observes(field.Window.window, field));
            return field;
        }

        function focusThroughState(field) {
            shared.value = field.fieldIdentity;
            verify(field.activeFocus);
            writes = [];
        }

        function input(name) {
            switch (name) {
            case "clickOutside": return mouseClick(root, 300, 250);
            case "rightClickOutside": return mouseClick(root, 300, 250, Qt.RightButton);
            case "keypadEnter": return keyClick(Qt.Key_Enter, Qt.KeypadModifier);
            default: return keyClick(Qt["Key_" + name]);
            }
        }

        function test_resigningOperations_data() {
            return [
                { tag: "field, keypad Enter", editor: false, operations: FirstResponder.EnterKey,
                  ignored: ["Return", "Escape", "Enter", "clickOutside", "rightClickOutside"], resigns: "keypadEnter" },
                { tag: "field, click outside", editor: false, operations: FirstResponder.MouseDownOutside,
                  ignored: ["Escape", "keypadEnter", "Return"], resigns: "clickOutside" },
                { tag: "field, Return", editor: false, operations: FirstResponder.ReturnKey,
                  ignored: ["Escape", "keypadEnter", "clickOutside"], resigns: "Return" },
                { tag: "editor: Return and Enter are text", editor: true, operations: FirstResponder.All,
                  ignored: ["Return", "keypadEnter"], resigns: "Escape" },
            ];
        }

        function test_resigningOperations(data) {
            const field = makeField({ x: 10, y: 10, operations: data.operations }, root,
                                    data.editor ? editorComponent : fieldComponent);
            compare(field.FirstResponder.kind, data.editor ? FirstResponder.TextEditor : FirstResponder.TextField);
            focusThroughState(field);
            const focusChanges = [];
            field.activeFocusChanged.connect(() => focusChanges.push(field.activeFocus));
            data.ignored.forEach(input);
            // Queued after whatever the inputs above scheduled.
            input(data.resigns);
            tryCompare(shared, "value", null);
            compare(writes, [null]);
            compare(focusChanges, [false]);
            // A click inside takes the focus back and says so.
            mouseClick(field);
            tryCompare(shared, "value", field.fieldIdentity);
            verify(field.activeFocus);
        }

        function test_focusRequestedBeforeTheFieldExists() {
            shared.value = 7;
            const field = createTemporaryObject(fieldComponent, root, { sharedState: shared, fieldIdentity: 7 });
            tryVerify(() => field.activeFocus);
            // Every later write is followed, none is written back.
            shared.value = null;
            verify(!field.activeFocus);
            shared.value = 7;
            verify(field.activeFocus);
            shared.value = 8;
            verify(!field.activeFocus);
            compare(writes, [7, null, 7, 8]);
        }

        // A field that learns it is not focused leaves another's identity.
        function test_twoFieldsShareOneState() {
            const first = makeField({ x: 10, y: 10, operations: FirstResponder.All });
            const second = makeField({ x: 10, y: 50, fieldIdentity: 2, operations: FirstResponder.All });
            shared.value = 2;
            verify(second.activeFocus && !first.activeFocus);
            shared.value = 5; // someone else's
            verify(!first.activeFocus && !second.activeFocus);
            writes = [];
            // Tab reports the focused field unfocused; that is not the state's either.
            ["Escape", "Return", "clickOutside", "Tab"].forEach(input);
            mouseClick(first);
            tryCompare(shared, "value", 1);
            verify(first.activeFocus && !second.activeFocus);
            mouseClick(second);
            tryCompare(shared, "value", 2);
            compare(writes, [1, 2]);
        }

        function test_tabOutAndIn() {
            // A window of its own: only these two fields are in its tab chain.
            const window = createTemporaryObject(windowComponent, root);
            const field = makeField({ x: 10, y: 10 }, window.contentItem);
            const other = makeField({ x: 10, y: 50, fieldIdentity: 2, sharedState: null }, window.contentItem);
            activate(window);
            focusThroughState(field);
            keyClick(Qt.Key_Tab);
            tryCompare(shared, "value", null);
            verify(other.activeFocus);
            keyClick(Qt.Key_Tab);
            tryCompare(shared, "value", 1);
            verify(field.activeFocus);
            // Shift+Tab arrives as Backtab.
            keyClick(Qt.Key_Backtab, Qt.ShiftModifier);
            tryCompare(shared, "value", null);
            verify(other.activeFocus);
            compare(writes, [null, 1, null]);
        }

        function test_oneObserverPerFieldAndNoneLeftBehind() {
            const window = createTemporaryObject(windowComponent, root);
            const field = fieldComponent.createObject(window.contentItem, { sharedState: shared, operations: FirstResponder.All });
            tryVerify(() => probe.observes(window, field));
            const other = makeField({ y: 40, fieldIdentity: 2 }, window.contentItem);
            compare(probe.publisherCount(window), 1);
            compare(probe.observerCount(window), 2);
            // Out of the window and back: still one entry for it.
            other.parent = null;
            compare(probe.observerCount(window), 1);
            other.parent = window.contentItem;
            tryVerify(() => probe.observes(window, other));
            compare(probe.observerCount(window), 2);
            compare(probe.publisherCount(window), 1);

            activate(window);
            focusThroughState(field);
            // Work is queued for the field, and the field goes before it runs.
            probe.releaseKeyAndDestroy(window, Qt.Key_Escape, field);
            compare(probe.observerCount(window), 1);
            // The queued work finds nothing; later events reach no one.
            keyClick(Qt.Key_Escape);
            mouseClick(window.contentItem, 150, 80);
            compare(writes, []);
            compare(shared.value, 1);
        }

        function test_destroyedWindowLeavesNoObserver() {
            const window = windowComponent.createObject(root);
            const inside = fieldComponent.createObject(window.contentItem, { sharedState: shared });
            // Owned by the test's root, shown in the other window.
            const outliving = fieldComponent.createObject(root, { sharedState: shared, fieldIdentity: 2, operations: FirstResponder.All });
            outliving.parent = window.contentItem;
            tryVerify(() => probe.observes(window, inside) && probe.observes(window, outliving));
            probe.destroyNow(window);
            verify(outliving.Window.window === null);
            activate(root.Window.window);
            ["clickOutside", "Escape"].forEach(input);
            // Into the test's window: registered there, and served.
            outliving.parent = root;
            tryVerify(() => probe.observes(root.Window.window, outliving));
            focusThroughState(outliving);
            keyClick(Qt.Key_Escape);
            tryCompare(shared, "value", null);
            probe.destroyNow(outliving);
        }
    }
}
