import QtQuick
import QtQuick.Layouts
import "components"

// The shell: the side bar on the right and the twelve pages beside it.
Rectangle {
    id: shell
    objectName: "mainApp"

    property alias currentIndex: pages.currentIndex

    function selectPage(index) {
        sideBar.currentIndex = index
        sideBar.menuSelected(index)
    }

    // Shows a page and there the record: each page that can open one has openRecord(kind, id).
    function openRecord(index, kind, id) {
        selectPage(index)
        var target = pages.children[index]
        if (target && typeof target.openRecord === "function")
            target.openRecord(kind, id)
    }

    color: "#0a0e1a"

    // Another operator's writes on a shared server: the page on screen reads again (its long
    // lists follow by themselves). Settings keep what is being typed; reports are run on demand.
    Connections {
        target: database
        function onChangedElsewhere(tables) {
            var page = pages.children[pages.currentIndex]
            if (!page || page.objectName === "settingsPage" || page.objectName === "reportsPage")
                return
            if (typeof page.reload === "function")
                page.reload()
            else if (typeof page.refreshData === "function")
                page.refreshData()
        }
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        SideBar {
            id: sideBar
            objectName: "sideBar"
            Layout.preferredWidth: 220
            Layout.fillHeight: true
            onMenuSelected: index => pages.currentIndex = index
        }

        StackLayout {
            id: pages
            objectName: "pages"
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: 0

            Dashboard {
                objectName: "dashboardPage"
                onNavigate: index => shell.selectPage(index)
                onFollow: (index, kind, id) => shell.openRecord(index, kind, id)
            }
            PropertiesPage {
                objectName: "propertiesPage"
            }
            TenantsPage {
                objectName: "tenantsPage"
            }
            BuyersPage {
                objectName: "buyersPage"
            }
            AccountingPage {
                objectName: "accountingPage"
            }
            PaymentsPage {
                objectName: "paymentsPage"
            }
            ChequesPage {
                objectName: "chequesPage"
            }
            InvoicesPage {
                objectName: "invoicesPage"
            }
            MaintenancePage {
                objectName: "maintenancePage"
            }
            ReportsPage {
                objectName: "reportsPage"
            }
            UsersPage {
                objectName: "usersPage"
            }
            SettingsPage {
                objectName: "settingsPage"
            }
        }
    }
}
