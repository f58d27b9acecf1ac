import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: window
    width: 1280
    height: 800
    minimumWidth: 1024
    minimumHeight: 700
    visible: true
    color: "#0a0e1a"
    title: "بلفاردينو - نظام إدارة العقارات والمحاسبة"
}
