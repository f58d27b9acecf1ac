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
        H.answer(tc, forms[0], true)
        compare(forms[0].units.length, 0)
        forms[0].close()
        H.waitClosed(tc, forms[0])

        H.press(tc, page, "removePropertyButton" + cardIndex("Test Tower"))
        H.answer(tc, page, true)
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
        H.press(tc, page, "removePropertyButton" + cardIndex(name))
        H.answer(tc, page, true)
        verify(H.find(tc, page, "pageMessage").text.indexOf("لا يمكن حذف العقار") === 0)
        verify(H.find(tc, page, "pageMessage").visible)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM properties WHERE name=?", [name]), 1)
    }

    // Amounts as people type or paste them reach the unit as numbers.
    function test_unitAmountsAsTyped_data() {
        return [
            { tag: "thousands separator", rent: "1,250", price: "250,000", monthly: 1250, sale: 250000 },
            { tag: "arabic-indic digits", rent: "١٢٥٠", price: "٢٥٠٬٠٠٠", monthly: 1250, sale: 250000 },
            { tag: "persian digits", rent: "۱۲۵۰", price: "", monthly: 1250, sale: 0 },
            { tag: "arabic decimal separator", rent: "١٢٥٠٫٥", price: "٩٩٫٩٩", monthly: 1250.5, sale: 99.99 }
        ]
    }

    function test_unitAmountsAsTyped(data) {
        var forms = openUnitForm(cardIndex(page.properties[0].name))
        H.type(tc, H.find(tc, forms[1], "unitNumberField"), "IN-" + data.tag.length)
        H.paste(tc, H.find(tc, forms[1], "unitRentField"), data.rent)
        H.paste(tc, H.find(tc, forms[1], "unitSalePriceField"), data.price)
        H.click(tc, H.find(tc, forms[1], "saveUnitButton"))
        H.waitClosed(tc, forms[1])
        var unit = database.execQuery("SELECT * FROM units WHERE property_id=? AND unit_number=?",
                                      [page.properties[0].id, "IN-" + data.tag.length])[0]
        compare(Number(unit.rent_monthly), data.monthly)
        compare(Number(unit.sale_price), data.sale)
        verify(unitModel.remove(unit.id))
    }

    // A unit is corrected in place, its asking price included, which a sale then starts from.
    function test_editUnitSetsSalePrice() {
        var unit = unitModel.getAvailable()[0]
        var units = H.open(tc, page, "manageUnitsButton" + cardIndex(unit.property_name), "unitsDialog")
        var index = H.indexWhere(units.units, u => u.id === unit.id)
        verify(index >= 0)
        var id = units.units[index].id
        var count = H.scalar(database, "SELECT COUNT(*) as c FROM units")
        var forms = [units, H.open(tc, units, "editUnitButton" + index, "addUnitDialog")]
        compare(H.find(tc, forms[1], "unitNumberField").text, String(forms[0].units[index].unit_number))
        H.type(tc, H.find(tc, forms[1], "unitSalePriceField"), "315000")
        H.click(tc, H.find(tc, forms[1], "saveUnitButton"))
        H.waitClosed(tc, forms[1])
        compare(Number(unitModel.getById(id).sale_price), 315000)
        compare(H.scalar(database, "SELECT COUNT(*) as c FROM units"), count)
    }
}
