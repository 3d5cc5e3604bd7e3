import QtQuick
import QtTest
import Sondik

Item {
    id: root
    width: 320
    height: 360

    Component {
        id: panelComponent
        PreferencesView {
            preferences: testPreferences
            launchAtLogin: testLaunchAtLogin
            version: "3.4.5"
        }
    }

    Component {
        id: noVersionComponent
        PreferencesView {
            preferences: testPreferences
            launchAtLogin: testLaunchAtLogin
        }
    }

    SignalSpy {
        id: volumeSpy
        target: testPreferences
        signalName: "volumeChanged"
    }

    TestCase {
        name: "PreferencesView"
        when: windowShown

        function findNamed(item, name) {
            if (item.objectName === name)
                return item
            for (let i = 0; i < item.children.length; ++i) {
                const found = findNamed(item.children[i], name)
                if (found)
                    return found
            }
            return null
        }

        function createPanel(component) {
            const panel = createTemporaryObject(component || panelComponent, root)
            verify(panel)
            panel.width = 320
            panel.height = 360
            waitForRendering(panel)
            return panel
        }

        function test_fadesInAtEveryShowing() {
            const panel = createTemporaryObject(panelComponent, root)
            const scroll = findNamed(panel, "scroll")
            compare(scroll.opacity, 0)
            tryCompare(scroll, "opacity", 1, 10000)
            panel.visible = false
            compare(scroll.opacity, 0)
            panel.visible = true
            verify(scroll.opacity < 1)
            tryCompare(scroll, "opacity", 1, 10000)
        }

        function test_versionLine_data() {
            return [
                { tag: "from the build", component: panelComponent, line: "Sondik v.3.4.5" },
                { tag: "none: the fallback", component: noVersionComponent, line: "Sondik v.1.2" }
            ]
        }

        function test_versionLine(data) {
            const panel = createPanel(data.component)
            const line = findNamed(panel, "versionLine")
            compare(line.text, data.line)
            // An empty version shows nothing after the literal.
            panel.version = ""
            compare(line.text, "Sondik v.")
        }

        function test_sliderShowsAndWritesTheVolume() {
            testPreferences.volume = 0.25
            const panel = createPanel()
            const slider = findNamed(panel, "volumeSlider")
            compare(slider.width, 120)
            fuzzyCompare(slider.value, 0.25, 0.0001)

            volumeSpy.clear()
            const y = slider.height / 2
            mousePress(slider, slider.leftPadding + slider.availableWidth / 2, y)
            let last = -1
            let writes = 0
            for (let x = slider.width / 2; x >= -20; x -= 10) {
                mouseMove(slider, x, y)
                if (volumeSpy.count > writes) {
                    writes = volumeSpy.count
                    verify(testPreferences.volume <= last || last < 0)
                    last = testPreferences.volume
                }
            }
            compare(testPreferences.volume, 0)
            for (let x = -20; x <= slider.width + 20; x += 10)
                mouseMove(slider, x, y)
            mouseRelease(slider, slider.width + 20, y)
            compare(testPreferences.volume, 1)
            // Every step of the drag wrote, not only its end.
            verify(volumeSpy.count > 10, "writes: " + volumeSpy.count)
            fuzzyCompare(slider.value, 1, 0.0001)
        }

        function test_hoverEnlargesOnlyThePointedRow() {
            const panel = createPanel()
            const boxes = ["checkForUpdatesBox", "helpBox", "quitBox"].map(n => findNamed(panel, n))
            mouseMove(boxes[1], boxes[1].width / 2, boxes[1].height / 2)
            tryCompare(boxes[1].row, "scale", 1.01, 5000)
            compare(boxes[0].row.scale, 1)
            compare(boxes[2].row.scale, 1)
            mouseMove(boxes[2], 3, boxes[2].height / 2)
            tryCompare(boxes[1].row, "scale", 1, 5000)
            tryCompare(boxes[2].row, "scale", 1.01, 5000)
        }

        function test_clickAnywhereAcrossARow_data() {
            const data = []
            for (const x of [0.02, 0.5, 0.98]) {
                data.push({ tag: "help at " + x, box: "helpBox", signalName: "helpRequested", x: x })
                data.push({ tag: "quit at " + x, box: "quitBox", signalName: "quitRequested", x: x })
            }
            return data
        }

        function test_clickAnywhereAcrossARow(data) {
            const panel = createPanel()
            const box = findNamed(panel, data.box)
            const spy = createTemporaryObject(signalSpyComponent, root,
                                              { target: panel, signalName: data.signalName })
            mouseClick(box, box.width * data.x, box.height / 2)
            compare(spy.count, 1)
        }

        function test_checkForUpdates() {
            const panel = createPanel()
            const box = findNamed(panel, "checkForUpdatesBox")
            // Without an updater the row does nothing, and says nothing.
            mouseClick(box, box.width / 2, box.height / 2)
            compare(testUpdater.state, Updater.Idle)
            const dialog = createTemporaryObject(updateDialogComponent, root)
            verify(!dialog.visible)
            panel.updater = testUpdater
            mouseClick(box, box.width / 2, box.height / 2)
            verify(testUpdater.state !== Updater.Idle)
            // The answer comes in a window of its own, saying why it failed.
            verify(dialog.visible)
            tryVerify(() => testUpdater.state === Updater.Failed, 30000)
            compare(findNamed(dialog.contentItem, "message").text, testUpdater.message)
            verify(testUpdater.message.length > 0)
        }

        function test_screenshot() {
            testPreferences.volume = 0.5
            const panel = createPanel()
            tryCompare(findNamed(panel, "scroll"), "opacity", 1, 10000)
            grabImage(panel).save(testArtifacts + "/preferences-panel.png")
        }

        function test_launchAtLoginSwitch() {
            const panel = createPanel()
            const toggle = findNamed(panel, "launchAtLoginToggle")
            compare(toggle.text, "")
            compare(toggle.checked, false)
            mouseClick(toggle)
            compare(testLaunchAtLogin.isEnabled, true)
            compare(toggle.checked, true)
            mouseClick(toggle)
            compare(testLaunchAtLogin.isEnabled, false)
            compare(toggle.checked, false)
        }
    }

    Component {
        id: updateDialogComponent
        UpdateDialog {
            updater: testUpdater
        }
    }

    Component {
        id: signalSpyComponent
        SignalSpy {}
    }
}
