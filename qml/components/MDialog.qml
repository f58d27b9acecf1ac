import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Theme.js" as Theme

// A modal dialog in the theme: a 56-high title bar, a gold accent line and a scrolling content
// column. `message` shows a short line under the content (red unless `messageColor` says so).
Popup {
    id: dialog

    property string title: ""
    property string message: ""
    property color messageColor: Theme.dangerColor
    property int dialogWidth: 560
    default property alias content: contentArea.data

    modal: true
    focus: true
    padding: 0
    anchors.centerIn: Overlay.overlay
    width: Math.min(dialogWidth, (Overlay.overlay ? Overlay.overlay.width : dialogWidth) - 40)
    height: Math.min(implicitHeight, (Overlay.overlay ? Overlay.overlay.height : 700) - 40)
    closePolicy: Popup.CloseOnEscape
    font.family: Theme.fontFamily

    onAboutToShow: message = ""

    enter: Transition {
        ParallelAnimation {
            NumberAnimation {
                property: "opacity"
                from: 0.0
                to: 1.0
                duration: 200
            }
            NumberAnimation {
                property: "scale"
                from: 0.9
                to: 1.0
                duration: 200
            }
        }
    }
    exit: Transition {
        ParallelAnimation {
            NumberAnimation {
                property: "opacity"
                from: 1.0
                to: 0.0
                duration: 150
            }
            NumberAnimation {
                property: "scale"
                from: 1.0
                to: 0.85
                duration: 150
            }
        }
    }

    Overlay.modal: Rectangle {
        color: "#b3000000"
    }

    background: Rectangle {
        color: Theme.bgCard
        radius: 12
        border.color: Theme.borderColor
        border.width: 1
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 56
            color: Theme.bgSecondary
            radius: 12

            // Square off the lower corners of the title bar.
            Rectangle {
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                height: 12
                color: Theme.bgSecondary
            }

            Label {
                anchors.left: parent.left
                anchors.right: closeButton.left
                anchors.leftMargin: 20
                anchors.rightMargin: 8
                anchors.verticalCenter: parent.verticalCenter
                text: dialog.title
                color: Theme.textPrimary
                font.family: Theme.fontFamily
                font.pixelSize: 18
                font.bold: true
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
            }

            ToolButton {
                id: closeButton
                objectName: "dialogCloseButton"
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                text: "×"
                font.pixelSize: 22
                onClicked: dialog.close()
                contentItem: Label {
                    text: closeButton.text
                    font: closeButton.font
                    color: closeButton.hovered ? Theme.dangerColor : Theme.textSecondary
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Item {}
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 2
            color: Theme.gold
        }

        Flickable {
            id: flick
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredHeight: contentArea.implicitHeight + 40
            contentWidth: width
            contentHeight: contentArea.implicitHeight + 40
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            ColumnLayout {
                id: contentArea
                // The fields inside clear a stale message when they are edited.
                readonly property var messageOwner: dialog
                x: 20
                y: 20
                width: flick.width - 40
                spacing: 12
            }
        }

        Label {
            objectName: "dialogMessage"
            Layout.fillWidth: true
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            Layout.bottomMargin: 16
            // The line keeps its place when empty, so the dialog does not move when a message
            // appears.
            Layout.minimumHeight: 18
            text: dialog.message
            color: dialog.messageColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }
    }
}
