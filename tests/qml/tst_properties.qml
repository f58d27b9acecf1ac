import QtQuick
import QtTest
import "helpers.js" as H

Item {
    id: root
    width: 1280
    height: 800
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    TestCase {
        id: tc
        name: "Properties"
        when: windowShown

        property var page: null

        Component {
            id: pageLoader
            Loader {
                width: root.width
                height: root.height
                source: "qrc:/qml/PropertiesPage.qml"
            }
        }

        function init() {
            failOnWarning(/.*/)
            var loader = createTemporaryObject(pageLoader, root)
            tryCompare(loader, "status", Loader.Ready)
            page = loader.item
        }

        // The grid card of the property called `name`, scrolled into view.
        function cardIndex(name) {
            var index = H.indexWhere(page.properties, p => p.name === name)
            verify(index >= 0, "no card for " + name)
            var grid = H.find(tc, page, "propertyGrid")
            grid.positionViewAtIndex(index, 0)
            return index
        }

        function addProperty(name) {
            H.click(tc, H.find(tc, page, "addPropertyButton"))
            var dialog = H.find(tc, page, "addPropertyDialog")
            H.waitOpen(tc, dialog)
            H.type(tc, H.find(tc, dialog, "propertyNameField"), name)
            H.choose(tc, H.find(tc, dialog, "propertyTypeBox"), 1)
            H.type(tc, H.find(tc, dialog, "propertyCityField"), "Ramallah")
            H.type(tc, H.find(tc, dialog, "propertyAddressField"), "Main street 5")
            H.click(tc, H.find(tc, dialog, "savePropertyButton"))
            H.waitClosed(tc, dialog)
        }

        function test_addPropertyAndUnitThenRemoveThem() {
            var before = H.scalar(database, "SELECT COUNT(*) as c FROM properties")
            addProperty("Test Tower")
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM properties"), before + 1)
            compare(H.scalar(database, "SELECT type FROM properties WHERE name=?", ["Test Tower"]), "commercial")
            var index = cardIndex("Test Tower")
            // A property without units: no occupancy, and never "sold out".
            compare(page.occupancy(page.properties[index]), 0)
            compare(page.statusLabel(page.properties[index]), "نشط")

            H.click(tc, H.find(tc, page, "manageUnitsButton" + index))
            var units = H.find(tc, page, "unitsDialog")
            H.waitOpen(tc, units)
            compare(units.title, "إدارة الوحدات - Test Tower")
            compare(units.units.length, 0)

            H.click(tc, H.find(tc, units, "addUnitButton"))
            var add = H.find(tc, units, "addUnitDialog")
            H.waitOpen(tc, add)
            H.type(tc, H.find(tc, add, "unitNumberField"), "T-1")
            H.type(tc, H.find(tc, add, "unitFloorField"), "2")
            H.type(tc, H.find(tc, add, "unitAreaField"), "95.5")
            H.type(tc, H.find(tc, add, "unitRentField"), "2500")
            H.type(tc, H.find(tc, add, "unitRoomsField"), "3")
            H.click(tc, H.find(tc, add, "saveUnitButton"))
            H.waitClosed(tc, add)
            compare(units.units.length, 1)
            var unit = units.units[0]
            compare(unit.unit_number, "T-1")
            compare(Number(unit.floor), 2)
            compare(Number(unit.area), 95.5)
            compare(Number(unit.rent_yearly), 30000)
            compare(unit.status, "available")

            H.click(tc, H.find(tc, units, "removeUnitButton0"))
            compare(units.units.length, 0)
            units.close()
            H.waitClosed(tc, units)

            H.click(tc, H.find(tc, page, "removePropertyButton" + cardIndex("Test Tower")))
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM properties WHERE name=?", ["Test Tower"]), 0)
            compare(H.find(tc, page, "pageMessage").visible, false)
        }

        function test_unitFormRefusesBadInput_data() {
            return [
                { tag: "no number", number: "", area: "90", rent: "1000", message: "أدخل رقم الوحدة" },
                { tag: "rent not a number", number: "X-9", area: "90", rent: "abc",
                  message: "المساحة والإيجار يجب أن تكون أرقاماً صحيحة" },
                { tag: "negative area", number: "X-9", area: "-5", rent: "1000",
                  message: "المساحة والإيجار يجب أن تكون أرقاماً صحيحة" }
            ]
        }

        function test_unitFormRefusesBadInput(data) {
            var index = cardIndex(page.properties[0].name)
            var propertyId = page.properties[0].id
            var before = H.scalar(database, "SELECT COUNT(*) as c FROM units WHERE property_id=?", [propertyId])
            H.click(tc, H.find(tc, page, "manageUnitsButton" + index))
            var units = H.find(tc, page, "unitsDialog")
            H.waitOpen(tc, units)
            H.click(tc, H.find(tc, units, "addUnitButton"))
            var add = H.find(tc, units, "addUnitDialog")
            H.waitOpen(tc, add)
            if (data.number !== "")
                H.type(tc, H.find(tc, add, "unitNumberField"), data.number)
            H.type(tc, H.find(tc, add, "unitAreaField"), data.area)
            H.type(tc, H.find(tc, add, "unitRentField"), data.rent)
            H.click(tc, H.find(tc, add, "saveUnitButton"))
            compare(add.message, data.message)
            verify(add.opened)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM units WHERE property_id=?", [propertyId]), before)
            add.close()
            units.close()
        }

        function test_blockedDeleteSaysSo() {
            // A demo building with rented units cannot go.
            var index = H.indexWhere(page.properties, p => Number(p.rented_units) > 0)
            verify(index >= 0)
            var name = page.properties[index].name
            cardIndex(name)
            H.click(tc, H.find(tc, page, "removePropertyButton" + index))
            var message = H.find(tc, page, "pageMessage")
            verify(message.visible)
            verify(message.text.indexOf("لا يمكن حذف العقار") === 0)
            compare(H.scalar(database, "SELECT COUNT(*) as c FROM properties WHERE name=?", [name]), 1)
        }

        function test_searchFiltersAndClearingRestores() {
            var all = page.properties.length
            verify(all > 1)
            var search = H.find(tc, page, "propertySearch")
            H.type(tc, search, "zzz-no-such-place")
            compare(page.properties.length, 0)
            H.type(tc, search, "")
            compare(page.properties.length, all)
        }

    }
}
