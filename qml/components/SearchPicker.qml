import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A field that finds a record as the user types part of a name, an ID number, a phone or a unit
// number. The search runs in the database a screenful at a time, so it stays quick on large
// portfolios; each row shows what tells it apart.
ColumnLayout {
    id: root

    // tenant, buyer, unit, availableUnit, contractor or invoice (see recordSearch.find).
    property string kind: "tenant"
    // For invoices: only this tenant's.
    property int ownerId: 0
    property string label: ""
    property string placeholder: "ابحث بالاسم أو رقم الهوية أو الهاتف..."
    property int pageSize: 30
    property var selected: null
    property var results: []
    readonly property int selectedId: selected ? Number(selected.id) : 0
    // True while a search waits for the typing to pause.
    readonly property bool searching: searchDelay.running
    readonly property alias field: input
    readonly property alias popup: popup

    signal picked(var row)

    function search(more) {
        var rows = Theme.rows(recordSearch.find(kind, input.text, more ? results.length : 0,
                                                pageSize, ownerId))
        results = more ? results.concat(rows) : rows
    }

    function choose(row) {
        selected = row
        input.text = row ? Theme.text(row.title) : ""
        popup.close()
        if (row)
            picked(row)
    }

    function clear() {
        selected = null
        input.text = ""
        results = []
        popup.close()
    }

    spacing: 6

    onOwnerIdChanged: clear()

    Label {
        Layout.fillWidth: true
        visible: root.label !== ""
        text: root.label
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: 13
        horizontalAlignment: Text.AlignLeft
    }

    TextField {
        id: input
        objectName: root.objectName !== "" ? root.objectName + "Input" : ""
        Layout.fillWidth: true
        implicitHeight: 40
        color: Theme.textPrimary
        placeholderText: root.placeholder
        placeholderTextColor: Theme.placeholder
        font.family: Theme.fontFamily
        font.pixelSize: 14
        horizontalAlignment: TextInput.AlignLeft
        selectByMouse: true

        onTextEdited: {
            root.selected = null
            searchDelay.restart()
        }
        onActiveFocusChanged: {
            if (activeFocus && root.selected === null) {
                root.search(false)
                popup.open()
            }
        }
        Keys.onDownPressed: {
            if (!popup.opened)
                popup.open()
            list.incrementCurrentIndex()
        }
        Keys.onUpPressed: list.decrementCurrentIndex()
        Keys.onReturnPressed: {
            if (popup.opened && list.currentIndex >= 0)
                root.choose(root.results[list.currentIndex])
        }
        Keys.onEscapePressed: event => {
            if (popup.opened) {
                popup.close()
                event.accepted = true
            } else {
                event.accepted = false
            }
        }

        background: Rectangle {
            radius: 8
            color: Theme.inputBg
            border.width: 1
            border.color: input.activeFocus ? Theme.gold : Theme.borderColor
        }
    }

    // Typing pauses briefly before the search, so a fast typist starts one search, not ten.
    Timer {
        id: searchDelay
        interval: 150
        onTriggered: {
            root.search(false)
            list.currentIndex = root.results.length > 0 ? 0 : -1
            popup.open()
        }
    }

    Popup {
        id: popup
        objectName: root.objectName !== "" ? root.objectName + "Popup" : ""
        y: input.y + input.height + 2
        x: input.x
        width: input.width
        height: Math.min(320, Math.max(44, root.results.length * 56 + 8))
        padding: 4
        closePolicy: Popup.CloseOnPressOutsideParent | Popup.CloseOnEscape

        background: Rectangle {
            color: Theme.bgCard
            border.color: Theme.borderColor
            radius: 8
        }

        Label {
            anchors.centerIn: parent
            visible: root.results.length === 0
            text: "لا توجد نتائج"
            color: Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 13
        }

        ListView {
            id: list
            objectName: root.objectName !== "" ? root.objectName + "List" : ""
            anchors.fill: parent
            clip: true
            model: root.results
            currentIndex: -1
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            // The next screenful when the end comes into view.
            onAtYEndChanged: {
                if (atYEnd && root.results.length > 0 && root.results.length % root.pageSize === 0)
                    root.search(true)
            }

            delegate: ItemDelegate {
                id: option
                required property var modelData
                required property int index
                objectName: root.objectName !== "" ? root.objectName + "Row" + index : ""
                // The popup lives in the window's overlay, outside the page's mirroring.
                LayoutMirroring.enabled: root.LayoutMirroring.enabled
                LayoutMirroring.childrenInherit: true
                width: list.width
                height: 56
                topPadding: 4
                bottomPadding: 4
                highlighted: list.currentIndex === index
                onClicked: root.choose(modelData)

                contentItem: ColumnLayout {
                    spacing: 0
                    Label {
                        Layout.fillWidth: true
                        text: Theme.text(option.modelData.title)
                        color: Theme.textPrimary
                        font.family: Theme.fontFamily
                        font.pixelSize: 14
                        font.bold: true
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                    Label {
                        Layout.fillWidth: true
                        text: Theme.text(option.modelData.detail)
                        color: Theme.textSecondary
                        font.family: Theme.fontFamily
                        font.pixelSize: 12
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                background: Rectangle {
                    color: option.highlighted || option.hovered ? Theme.borderColor : "transparent"
                    radius: 6
                }
            }
        }
    }
}
