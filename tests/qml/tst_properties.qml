import QtQuick
import "helpers.js" as H

PageCase {
    id: tc
    name: "Properties"
    source: "PropertiesPage"

    function cardIndex(name) {
        return H.row(tc, page, "propertyGrid", page.properties, p => p.name === name)
    }

    function openUnitForm(index) {
        var units = H.open(tc, page, "manageUnitsButton" + index, "unitsDialog")
        return [units, H.open(tc, units, "addUnitButton", "addUnitDialog")]
    }

    function test_addPropertyAndUnitThenRemoveThem() {
        var dialog = H.open(tc, page, "addPropertyButton", "addPropertyDialog")
        H.fill(tc, dialog, { propertyNameField: "Test Tower", propertyCityField: "Ramallah" })
        H.choose(tc, H.find(tc, dialog, "propertyTypeBox"), 1)
        H.click(tc, H.find(tc, dialog, "savePropertyButton"))
        H.waitClosed(tc, dialog)
        compare(H.scalar(database, "SELECT type FROM properties WHERE name=?", ["Test Tower"]), "commercial")
        var index = cardIndex("Test Tower")
        // No units: no division by zero, and not "sold out".
        compare(page.occupancy(page.properties[index]), 0)
        compare(page.statusLabel(page.properties[index]), "نشط")

        var forms = openUnitForm(index)
        H.fill(tc, forms[1], { unitNumberField: "T-1", unitAreaField: "95.5", unitRentField: "2500" })
        H.click(tc, H.find(tc, forms[1], "saveUnitButton"))
        H.waitClosed(tc, forms[1])
        compare(forms[0].units.length, 1)
        compare(Number(forms[0].units[0].area), 95.5)
        compare(Number(forms[0].units[0].rent_yearly), 30000)
        H.click(tc, H.find(tc, forms[0], "removeUnitButton0"))
        compare(forms[0].units.length, 0)
        forms[0].close()
        H.waitClosed(tc, forms[0])

        H.click(tc, H.find(tc, page, "removePropertyButton" + cardIndex("Test Tower")))
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM properties WHERE name=?", ["Test Tower"]), 0)
    }

    function test_unitFormRefusesBadInput_data() {
        var numbers = "المساحة والإيجار يجب أن تكون أرقاماً صحيحة"
        return [
            { tag: "no number", number: "", area: "90", rent: "1000", message: "أدخل رقم الوحدة" },
            { tag: "rent not a number", number: "X-9", area: "90", rent: "abc", message: numbers },
            { tag: "negative area", number: "X-9", area: "-5", rent: "1000", message: numbers }
        ]
    }

    function test_unitFormRefusesBadInput(data) {
        var propertyId = page.properties[0].id
        var before = H.scalar(database, "SELECT COUNT(*) as c FROM units WHERE property_id=?", [propertyId])
        var add = openUnitForm(cardIndex(page.properties[0].name))[1]
        H.fill(tc, add, { unitNumberField: data.number, unitAreaField: data.area, unitRentField: data.rent })
        H.click(tc, H.find(tc, add, "saveUnitButton"))
        compare(add.message, data.message)
        verify(add.opened)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM units WHERE property_id=?", [propertyId]), before)
    }

    function test_blockedDeleteSaysSo() {
        var index = H.indexWhere(page.properties, p => Number(p.rented_units) > 0)
        verify(index >= 0)
        var name = page.properties[index].name
        H.click(tc, H.find(tc, page, "removePropertyButton" + cardIndex(name)))
        verify(H.find(tc, page, "pageMessage").text.indexOf("لا يمكن حذف العقار") === 0)
        verify(H.find(tc, page, "pageMessage").visible)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM properties WHERE name=?", [name]), 1)
    }
}
