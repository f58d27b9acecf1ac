import QtQuick
import QtQuick.Controls
import "Theme.js" as Theme

Button {
    id: control

    property color btnColor: "#C5A059"
    property color textColor: "#020617"
    property bool outline: false
    property string iconSymbol: ""
    // What the button changes: "" (nothing stored), "write" (daily work) or "admin". Buttons
    // that change what the operator's role may not are disabled.
    property string needs: ""

    implicitHeight: 40
    leftPadding: 16
    rightPadding: 16
    font.family: Theme.fontFamily
    font.pixelSize: 14
    font.bold: true
    opacity: enabled ? 1.0 : 0.5
    scale: pressed ? 0.97 : 1.0
    hoverEnabled: true
    enabled: needs === "" || (needs === "admin" ? authCtrl.canAdminister : authCtrl.canWrite)

    Behavior on scale {
        NumberAnimation {
            duration: 100
        }
    }

    contentItem: Label {
        text: control.iconSymbol !== "" ? control.iconSymbol + " " + control.text : control.text
        font: control.font
        color: control.outline ? control.btnColor : control.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        radius: 8
        color: "transparent"
        border.width: control.outline ? 1 : 0
        border.color: control.btnColor

        Rectangle {
            anchors.fill: parent
            radius: parent.radius
            visible: !control.outline
            gradient: Gradient {
                GradientStop {
                    position: 0.0
                    color: control.hovered ? Qt.lighter(control.btnColor, 1.1) : control.btnColor
                }
                GradientStop {
                    position: 1.0
                    color: control.hovered ? control.btnColor : Qt.darker(control.btnColor, 1.1)
                }
            }
        }
    }
}
