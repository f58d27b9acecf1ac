.pragma library

// Shared steps of the interface tests; `tc` is the calling TestCase.

// Depth-first through items, their non-visual children and popups' content (a popup is not in
// the visual tree of the item that declares it).
function search(obj, name, depth) {
    if (!obj || depth > 60)
        return null
    if (obj.objectName === name)
        return obj
    var lists = [obj.data, obj.contentData]
    for (var l = 0; l < lists.length; ++l) {
        var list = lists[l]
        if (!list)
            continue
        for (var i = 0; i < list.length; ++i) {
            var found = search(list[i], name, depth + 1)
            if (found)
                return found
        }
    }
    if (obj.contentItem && obj.data === undefined)
        return search(obj.contentItem, name, depth + 1)
    return null
}

function find(tc, root, name) {
    var item = search(root, name, 0)
    if (!item)
        item = tc.findChild(root, name)
    tc.verify(item, "no item named " + name)
    return item
}

function click(tc, item) {
    tc.verify(item.visible, (item.objectName || "item") + " is not visible")
    tc.mouseClick(item)
}

// Focus a field by clicking it, select what it holds and type the text key by key.
function type(tc, field, text) {
    var input = field.field !== undefined ? field.field : field
    tc.mouseClick(input)
    tc.tryCompare(input, "activeFocus", true)
    tc.keyClick(Qt.Key_End)
    for (var k = input.text.length; k > 0; --k)
        tc.keyClick(Qt.Key_Backspace)
    for (var i = 0; i < text.length; ++i) {
        var c = text.charAt(i)
        if (c === "\n")
            tc.keyClick(Qt.Key_Return)
        else
            tc.keyClick(c)
    }
    tc.compare(input.text, text)
}

// Choose the option at `index` of an MComboBox with the keyboard.
function choose(tc, combo, index) {
    var box = combo.box
    box.forceActiveFocus()
    tc.keyClick(Qt.Key_Home)
    for (var i = 0; i < index; ++i)
        tc.keyClick(Qt.Key_Down)
    tc.compare(box.currentIndex, index)
}

function waitOpen(tc, popup) {
    tc.tryCompare(popup, "opened", true)
}

function waitClosed(tc, popup) {
    tc.tryCompare(popup, "visible", false)
}

function scalar(db, sql, params) {
    var rows = db.execQuery(sql, params || [])
    if (!rows || rows.length === 0)
        return undefined
    var row = rows[0]
    for (var key in row)
        return row[key]
    return undefined
}

function isoDate(date) {
    return Qt.formatDate(date, "yyyy-MM-dd")
}

function indexWhere(list, predicate) {
    for (var i = 0; i < list.length; ++i) {
        if (predicate(list[i]))
            return i
    }
    return -1
}
