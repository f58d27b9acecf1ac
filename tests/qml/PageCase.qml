import QtQuick
import QtTest
import "helpers.js" as H

// One application page, right to left, created afresh for every test; a QML warning fails it
// (H.anyWarning).
// A test that needs more set-up overrides init() and calls load() itself.
TestCase {
    id: tc
    property string source
    property var page: null
    width: 1280
    height: 800
    when: windowShown
    visible: true
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    function load() {
        failOnWarning(H.anyWarning)
        var component = Qt.createComponent("qrc:/qml/" + source + ".qml")
        compare(component.status, Component.Ready, component.errorString())
        page = createTemporaryObject(component, tc, { width: width, height: height })
        verify(page)
        settle()
    }

    // Waits for the figures the page asked of the second connection.
    function settle() {
        tryCompare(backgroundReader, "pending", 0, 30000)
    }

    function init() {
        load()
    }
}
