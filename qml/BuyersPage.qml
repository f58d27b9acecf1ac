import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    // Read a screenful at a time, narrowed in SQL as the search is typed.
    property var buyers: listCatalog.open("buyers", page)

    // An alert about a buyer opens the buyer's installment schedule.
    function openRecord(kind, id) {
        var buyer = kind === "buyer" ? database.getById("buyers", id) : null
        if (!buyer || !buyer.id)
            return
        installmentsDialog.buyerId = Number(buyer.id)
        installmentsDialog.buyerName = Theme.text(buyer.full_name)
        installmentsDialog.open()
    }

    function reload() {
        buyers.reload()
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a list is read only while its page is shown.
    Component.onCompleted: buyers.active = visible
    onVisibleChanged: buyers.active = visible

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "المشترون والمبيعات"
            subtitle: "إدارة المشترين وعقود التمليك والأقساط"

            MButton {
                objectName: "addBuyerButton"
                needs: "write"
                text: "+ مشتري جديد"
                onClicked: addDialog.openFor(null)
            }
        }

        ListFilter {
            id: listFilter
            objectName: "buyerListFilter"
            Layout.fillWidth: true
            dates: false
            onChanged: page.buyers.search = searchText()
        }

        Label {
            id: message
            objectName: "pageMessage"
            Layout.fillWidth: true
            visible: text !== ""
            color: Theme.successColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }

        Label {
            Layout.fillWidth: true
            Layout.topMargin: 24
            visible: page.buyers.count === 0
            text: "لا يوجد مشترون بعد"
            color: Theme.textMuted
            font.family: Theme.fontFamily
            font.pixelSize: 14
            horizontalAlignment: Text.AlignHCenter
        }

        ListView {
            id: list
            objectName: "buyerList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 10
            model: page.buyers
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                id: row
                required property int index
                readonly property var rowData: page.buyers.get(index)
                width: list.width
                height: 72
                radius: 12
                color: Theme.bgCard
                border.color: rowHover.hovered ? Theme.gold : Theme.borderColor

                HoverHandler {
                    id: rowHover
                }

                function openWith(dialog) {
                    dialog.buyerId = Number(rowData.id)
                    dialog.buyerName = Theme.text(rowData.full_name)
                    dialog.open()
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 16
                    anchors.rightMargin: 16
                    spacing: 12

                    Rectangle {
                        Layout.preferredWidth: 40
                        Layout.preferredHeight: 40
                        radius: 20
                        color: "#1e293b"
                        Label {
                            anchors.centerIn: parent
                            text: Theme.text(row.rowData.full_name).charAt(0)
                            color: Theme.gold
                            font.family: Theme.fontFamily
                            font.pixelSize: 16
                            font.bold: true
                        }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2
                        Label {
                            Layout.fillWidth: true
                            text: Theme.text(row.rowData.full_name)
                            color: Theme.textPrimary
                            font.family: Theme.fontFamily
                            font.pixelSize: 15
                            font.bold: true
                            elide: Text.ElideRight
                            horizontalAlignment: Text.AlignLeft
                        }
                        Label {
                            Layout.fillWidth: true
                            text: "هوية: " + Theme.text(row.rowData.id_number) + "  •  هاتف: "
                                  + Theme.text(row.rowData.phone) + "  •  أقساط: "
                                  + (Number(row.rowData.installment_count) || 0)
                            color: Theme.textSecondary
                            font.family: Theme.fontFamily
                            font.pixelSize: 12
                            elide: Text.ElideRight
                            horizontalAlignment: Text.AlignLeft
                        }
                    }
                    MButton {
                        objectName: "sellButton" + row.index
                        needs: "write"
                        implicitHeight: 34
                        leftPadding: 10
                        rightPadding: 10
                        text: "💰 بيع"
                        onClicked: row.openWith(salesDialog)
                    }
                    MButton {
                        objectName: "installmentsButton" + row.index
                        implicitHeight: 34
                        leftPadding: 10
                        rightPadding: 10
                        text: "📅 أقساط"
                        outline: true
                        onClicked: row.openWith(installmentsDialog)
                    }
                    MButton {
                        objectName: "chequeButton" + row.index
                        needs: "write"
                        implicitHeight: 34
                        leftPadding: 10
                        rightPadding: 10
                        text: "🎫 شيك"
                        outline: true
                        onClicked: row.openWith(chequeDialog)
                    }
                    MButton {
                        objectName: "buyerStatementButton" + row.index
                        implicitHeight: 34
                        leftPadding: 10
                        rightPadding: 10
                        text: "📄 كشف"
                        outline: true
                        onClicked: row.openWith(statementDialog)
                    }
                    MButton {
                        objectName: "editBuyerButton" + row.index
                        implicitHeight: 34
                        leftPadding: 10
                        rightPadding: 10
                        text: "✎"
                        outline: true
                        onClicked: addDialog.openFor(row.rowData)
                    }
                }
            }
        }
    }

    SalesDialog {
        id: salesDialog
        objectName: "salesDialog"
        onClosed: page.reload()
        onSold: message.text = "✅ تمت عملية البيع للمشتري " + buyerName
                + "، وأُنشئ جدول الأقساط إن وُجد."
    }
    InstallmentsDialog {
        id: installmentsDialog
        objectName: "installmentsDialog"
        onClosed: page.reload()
    }
    BuyerChequeDialog {
        id: chequeDialog
        objectName: "buyerChequeDialog"
    }
    BuyerStatementDialog {
        id: statementDialog
        objectName: "buyerStatementDialog"
    }

    MDialog {
        id: addDialog
        objectName: "addBuyerDialog"
        // The buyer being corrected, or null for a new one.
        property var buyer: null
        title: buyer ? "تعديل بيانات المشتري" : "إضافة مشتري جديد"
        dialogWidth: 480

        function openFor(row) {
            buyer = row
            nameField.text = row ? Theme.text(row.full_name) : ""
            idField.text = row ? Theme.text(row.id_number) : ""
            phoneField.text = row ? Theme.text(row.phone) : ""
            addressField.text = row ? Theme.text(row.address) : ""
            open()
        }

        MTextField {
            id: nameField
            objectName: "buyerNameField"
            Layout.fillWidth: true
            label: "الاسم الكامل"
        }
        MTextField {
            id: idField
            objectName: "buyerIdField"
            Layout.fillWidth: true
            label: "رقم الهوية"
        }
        MTextField {
            id: phoneField
            objectName: "buyerPhoneField"
            Layout.fillWidth: true
            label: "رقم الهاتف"
        }
        MTextField {
            id: addressField
            objectName: "buyerAddressField"
            Layout.fillWidth: true
            label: "العنوان"
        }
        MButton {
            objectName: "saveBuyerButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ البيانات"
            onClicked: {
                if (nameField.text.trim() === "") {
                    addDialog.message = "أدخل اسم المشتري"
                    return
                }
                var row = addDialog.buyer
                var saved = row ? buyerModel.update(Number(row.id), nameField.text, idField.text,
                                                    phoneField.text, Theme.text(row.email),
                                                    addressField.text)
                                : buyerModel.add(nameField.text, idField.text, phoneField.text, "",
                                                 addressField.text) > 0
                if (saved) {
                    addDialog.close()
                    page.reload()
                } else {
                    addDialog.message = "تعذر حفظ المشتري: رقم الهوية مسجل مسبقاً"
                }
            }
        }
    }
}
