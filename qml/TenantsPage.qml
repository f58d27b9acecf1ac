import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "components"
import "components/Theme.js" as Theme

Rectangle {
    id: page

    // Read a screenful at a time, narrowed in SQL as the search is typed.
    property var tenants: listCatalog.open("tenants", page)
    property string message: ""
    property color messageColor: Theme.dangerColor

    function removeTenant(id) {
        if (tenantModel.remove(id)) {
            message = ""
        } else {
            say("لا يمكن حذف مستأجر لديه عقود نشطة أو سجلات مرتبطة", false)
        }
    }

    // An alert about a lease opens its tenant's leases.
    function openRecord(kind, id) {
        var tenant = kind === "tenant" ? tenantModel.getById(id) : null
        if (!tenant || !tenant.id)
            return
        contractsDialog.tenantId = Number(tenant.id)
        contractsDialog.tenantName = Theme.text(tenant.full_name)
        contractsDialog.open()
    }

    function reload() {
        tenants.reload()
    }

    function say(text, ok) {
        messageColor = ok ? Theme.successColor : Theme.dangerColor
        message = text
    }

    color: "#0a0e1a"

    // The shell builds every page at login; a list is read only while its page is shown.
    Component.onCompleted: tenants.active = visible
    onVisibleChanged: tenants.active = visible

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PageHeader {
            Layout.fillWidth: true
            title: "إدارة المستأجرين"
            subtitle: "إدارة وتتبع جميع المستأجرين وعقودهم"

            MButton {
                objectName: "importTenantsButton"
                needs: "write"
                text: "استيراد من إكسل"
                outline: true
                onClicked: {
                    importDialog.targetTable = "tenants"
                    importDialog.open()
                }
            }
            MButton {
                objectName: "addTenantButton"
                needs: "write"
                text: "+ مستأجر جديد"
                onClicked: addDialog.openFor(null)
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Label {
                text: "⌕"
                color: Theme.textSecondary
                font.pixelSize: 20
            }
            MTextField {
                id: searchField
                objectName: "tenantSearch"
                Layout.fillWidth: true
                placeholderText: "بحث بالاسم أو الهاتف أو رقم الهوية..."
                onTextChanged: page.tenants.search = text
            }
        }

        Label {
            objectName: "pageMessage"
            Layout.fillWidth: true
            visible: page.message !== ""
            text: page.message
            color: page.messageColor
            font.family: Theme.fontFamily
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignLeft
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 12
            color: Theme.bgCard
            border.color: Theme.borderColor

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 1
                spacing: 0

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 44
                    color: Theme.bgSecondary
                    radius: 12

                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 16
                        anchors.rightMargin: 16
                        spacing: 12
                        Repeater {
                            model: [
                                { t: "الاسم", w: 3 },
                                { t: "رقم الهوية", w: 2 },
                                { t: "الهاتف", w: 2 },
                                { t: "البريد", w: 3 }
                            ]
                            delegate: Label {
                                required property var modelData
                                Layout.fillWidth: true
                                Layout.preferredWidth: modelData.w
                                text: modelData.t
                                color: Theme.textSecondary
                                font.family: Theme.fontFamily
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }
                        }
                        Item {
                            Layout.preferredWidth: 230
                        }
                    }
                }

                Label {
                    Layout.fillWidth: true
                    Layout.topMargin: 24
                    visible: page.tenants.count === 0
                    text: "لا يوجد مستأجرون"
                    color: Theme.textMuted
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    horizontalAlignment: Text.AlignHCenter
                }

                ListView {
                    id: list
                    objectName: "tenantList"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    clip: true
                    model: page.tenants
                    boundsBehavior: Flickable.StopAtBounds
                    ScrollBar.vertical: ScrollBar {}

                    delegate: Rectangle {
                        id: row
                        required property int index
                        readonly property var rowData: page.tenants.get(index)
                        width: list.width
                        height: 54
                        color: rowHover.hovered ? "#151b2e" : "transparent"

                        HoverHandler {
                            id: rowHover
                        }
                        Rectangle {
                            anchors.left: parent.left
                            anchors.right: parent.right
                            anchors.bottom: parent.bottom
                            height: 1
                            color: Theme.borderColor
                        }

                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 16
                            anchors.rightMargin: 16
                            spacing: 12

                            Label {
                                Layout.fillWidth: true
                                Layout.preferredWidth: 3
                                text: Theme.text(row.rowData.full_name)
                                color: Theme.textPrimary
                                font.family: Theme.fontFamily
                                font.pixelSize: 14
                                font.bold: true
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                            Label {
                                Layout.fillWidth: true
                                Layout.preferredWidth: 2
                                text: Theme.text(row.rowData.id_number)
                                color: Theme.textSecondary
                                font.pixelSize: 13
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                            Label {
                                Layout.fillWidth: true
                                Layout.preferredWidth: 2
                                text: Theme.text(row.rowData.phone)
                                color: Theme.textSecondary
                                font.pixelSize: 13
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                            Label {
                                Layout.fillWidth: true
                                Layout.preferredWidth: 3
                                text: Theme.text(row.rowData.email)
                                color: Theme.textSecondary
                                font.pixelSize: 13
                                elide: Text.ElideRight
                                horizontalAlignment: Text.AlignLeft
                            }
                            RowLayout {
                                Layout.preferredWidth: 320
                                spacing: 6
                                MButton {
                                    objectName: "tenantStatementButton" + row.index
                                    implicitHeight: 32
                                    text: "كشف"
                                    outline: true
                                    onClicked: {
                                        statementDialog.tenantId = Number(row.rowData.id)
                                        statementDialog.tenantName = Theme.text(row.rowData.full_name)
                                        statementDialog.open()
                                    }
                                }
                                MButton {
                                    objectName: "tenantContractsButton" + row.index
                                    implicitHeight: 32
                                    text: "العقود"
                                    onClicked: {
                                        contractsDialog.tenantId = Number(row.rowData.id)
                                        contractsDialog.tenantName = Theme.text(row.rowData.full_name)
                                        contractsDialog.open()
                                    }
                                }
                                MButton {
                                    objectName: "tenantDepositsButton" + row.index
                                    implicitHeight: 32
                                    text: "تأمين"
                                    outline: true
                                    onClicked: {
                                        depositsDialog.tenantId = Number(row.modelData.id)
                                        depositsDialog.tenantName = Theme.text(row.modelData.full_name)
                                        depositsDialog.open()
                                    }
                                }
                                MButton {
                                    objectName: "editTenantButton" + row.index
                                    implicitHeight: 32
                                    text: "✎"
                                    outline: true
                                    onClicked: addDialog.openFor(row.rowData)
                                }
                                MButton {
                                    objectName: "removeTenantButton" + row.index
                                    needs: "write"
                                    implicitHeight: 32
                                    text: "🗑"
                                    outline: true
                                    btnColor: Theme.dangerColor
                                    onClicked: confirm.ask("حذف المستأجر", "سيُحذف المستأجر «"
                                                           + Theme.text(row.rowData.full_name)
                                                           + "» وبياناته نهائياً.", "حذف",
                                                           page.removeTenant.bind(page, Number(row.rowData.id)))
                                }
                            }
                        }
                    }
                }
            }
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "confirmDialog"
    }

    ContractsDialog {
        id: contractsDialog
        objectName: "contractsDialog"
        onClosed: page.reload()
        // Ending a lease whose deposit is held goes on to its settlement.
        onLeaseEnded: contractId => {
            depositsDialog.tenantId = contractsDialog.tenantId
            depositsDialog.tenantName = contractsDialog.tenantName
            depositsDialog.settleLease(contractId)
        }
    }

    DepositsDialog {
        id: depositsDialog
        objectName: "depositsDialog"
    }

    StatementDialog {
        id: statementDialog
        objectName: "statementDialog"
    }

    ImportDialog {
        id: importDialog
        objectName: "importDialog"
        onImported: summary => {
            page.say(summary, true)
            page.reload()
        }
    }

    MDialog {
        id: addDialog
        objectName: "addTenantDialog"
        // The tenant being corrected, or null for a new one.
        property var tenant: null
        title: tenant ? "تعديل بيانات المستأجر" : "إضافة مستأجر"
        dialogWidth: 480

        function clear() {
            nameField.text = ""
            idField.text = ""
            phoneField.text = ""
            emailField.text = ""
            addressField.text = ""
        }

        function openFor(row) {
            if (row) {
                nameField.text = Theme.text(row.full_name)
                idField.text = Theme.text(row.id_number)
                phoneField.text = Theme.text(row.phone)
                emailField.text = Theme.text(row.email)
                addressField.text = Theme.text(row.address)
            } else if (tenant) {
                clear()
            }
            tenant = row
            open()
        }

        MTextField {
            id: nameField
            objectName: "tenantNameField"
            Layout.fillWidth: true
            label: "الاسم الكامل"
        }
        MTextField {
            id: idField
            objectName: "tenantIdField"
            Layout.fillWidth: true
            label: "رقم الهوية"
        }
        MTextField {
            id: phoneField
            objectName: "tenantPhoneField"
            Layout.fillWidth: true
            label: "الهاتف"
        }
        MTextField {
            id: emailField
            objectName: "tenantEmailField"
            Layout.fillWidth: true
            label: "البريد الإلكتروني"
        }
        MTextField {
            id: addressField
            objectName: "tenantAddressField"
            Layout.fillWidth: true
            label: "العنوان"
        }
        MButton {
            objectName: "saveTenantButton"
            needs: "write"
            Layout.fillWidth: true
            text: "حفظ"
            onClicked: {
                if (nameField.text.trim() === "") {
                    addDialog.message = "أدخل اسم المستأجر"
                    return
                }
                var saved = addDialog.tenant
                        ? tenantModel.update(Number(addDialog.tenant.id), nameField.text, idField.text,
                                             phoneField.text, emailField.text, addressField.text)
                        : tenantModel.add(nameField.text, idField.text, phoneField.text,
                                          emailField.text, addressField.text) > 0
                if (saved) {
                    addDialog.close()
                    addDialog.clear()
                } else {
                    addDialog.message = "تعذر حفظ المستأجر: رقم الهوية مسجل مسبقاً"
                }
            }
        }
    }
}
