import QtQuick
import QtQuick.Controls
import QtTest
import Sondik

Item {
    id: root

    width: 400
    height: 300

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
            shared = createTemporaryQmlObject("import Sondik; FirstResponderState {}", root);
            writes = [];
            shared.valueChanged.connect(() => writes.push(shared.value));
        }

        // A TextField (or `type`) on `shared` with identity 1, resigning on
        // keypad Enter, unless `options` says otherwise; known to its window's
        // publisher (one turn later) unless `unattached`.
        function makeField(options, parent, type, unattached) {
            const o = Object.assign({ identity: 1, state: shared, operations: FirstResponder.EnterKey, x: 0, y: 0 }, options);
            const field = createTemporaryQmlObject(`import QtQuick.Controls; ${type || "TextField"} { x: ${o.x}; y: ${o.y}; width: 100; height: 30 }`,
                                                   parent || root);
            field.FirstResponder.identity = o.identity;
            field.FirstResponder.state = o.state;
            field.FirstResponder.resignableUserOperations = o.operations;
            if (!unattached)
                tryVerify(() => probe.observes(field.Window.window, field));
            return field;
        }

        function makeWindow() {
            return createTemporaryQmlObject("import QtQuick; Window { width: 200; height: 100; visible: true }", root);
        }

        function focusThroughState(field) {
            shared.value = field.FirstResponder.identity;
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
                { tag: "field, keypad Enter", type: "TextField", operations: FirstResponder.EnterKey,
                  ignored: ["Return", "Escape", "Enter", "clickOutside", "rightClickOutside"], resigns: "keypadEnter" },
                { tag: "field, click outside", type: "TextField", operations: FirstResponder.MouseDownOutside,
                  ignored: ["Escape", "keypadEnter", "Return"], resigns: "clickOutside" },
                { tag: "field, Return", type: "TextField", operations: FirstResponder.ReturnKey,
                  ignored: ["Escape", "keypadEnter", "clickOutside"], resigns: "Return" },
                { tag: "field, Escape", type: "TextField", operations: FirstResponder.EscapeKey,
                  ignored: ["Return", "keypadEnter", "clickOutside"], resigns: "Escape" },
                { tag: "editor: Return and Enter are text", type: "TextArea", operations: FirstResponder.All,
                  ignored: ["Return", "keypadEnter"], resigns: "Escape" },
            ];
        }

        function test_resigningOperations(data) {
            const field = makeField({ x: 10, y: 10, operations: data.operations }, root, data.type);
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
            tryCompare(shared, "value", 1);
            verify(field.activeFocus);
        }

        // Fields follow every write of the state, even one made before they
        // exist, and never write back; a field that learns it is not focused
        // leaves another's identity.
        function test_fieldsFollowTheState() {
            shared.value = 7;
            const first = makeField({ identity: 7, operations: FirstResponder.All }, root, "", true);
            tryVerify(() => first.activeFocus);
            const second = makeField({ y: 50, identity: 2, operations: FirstResponder.All });
            shared.value = 2;
            verify(second.activeFocus && !first.activeFocus);
            shared.value = 5; // someone else's
            verify(!first.activeFocus && !second.activeFocus);
            ["Escape", "Return", "clickOutside", "Tab"].forEach(input);
            // Queued after whatever the inputs above scheduled.
            mouseClick(first);
            tryCompare(shared, "value", 7);
            verify(first.activeFocus && !second.activeFocus);
            compare(writes, [7, 2, 5, 7]);
        }

        function test_tabOutAndBackIn() {
            // A window of its own: only these two fields are in its tab chain.
            const window = makeWindow();
            const field = makeField({ x: 10, y: 10 }, window.contentItem);
            const other = makeField({ x: 10, y: 50, identity: 2, state: null }, window.contentItem);
            activate(window);
            focusThroughState(field);
            keyClick(Qt.Key_Tab);
            tryCompare(shared, "value", null);
            verify(other.activeFocus);
            // Shift+Tab arrives as Backtab.
            keyClick(Qt.Key_Backtab, Qt.ShiftModifier);
            tryCompare(shared, "value", 1);
            verify(field.activeFocus);
            compare(writes, [null, 1]);
        }

        // Work queued for a field or window that goes away finds nothing; a
        // field moved into another window is served there.
        function test_fieldsAndWindowsGoingAway() {
            const window = makeWindow();
            const field = makeField({ operations: FirstResponder.All }, window.contentItem);
            // Owned by the test's root, shown in the other window.
            const outliving = makeField({ identity: 2, operations: FirstResponder.All }, root);
            outliving.parent = window.contentItem;
            tryVerify(() => probe.observes(window, outliving));

            activate(window);
            focusThroughState(field);
            probe.releaseKeyAndDestroy(window, Qt.Key_Escape, field);
            keyClick(Qt.Key_Escape);
            mouseClick(window.contentItem, 150, 80);
            probe.destroyNow(window);
            verify(outliving.Window.window === null);
            activate(root.Window.window);
            ["clickOutside", "Escape"].forEach(input);
            outliving.parent = root;
            tryVerify(() => probe.observes(root.Window.window, outliving));
            mouseClick(outliving);
            tryCompare(shared, "value", 2);
            keyClick(Qt.Key_Escape);
            tryCompare(shared, "value", null);
            compare(writes, [2, null]);
        }
    }
}
