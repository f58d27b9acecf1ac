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

// Scroll every enclosing Flickable (dialog bodies, pages) so the item is on screen.
function reveal(tc, item) {
    for (var p = item.parent; p; p = p.parent) {
        if (p.contentY === undefined || p.contentHeight === undefined || !p.contentItem)
            continue
        var y = item.mapToItem(p.contentItem, 0, 0).y
        if (y < p.contentY || y + item.height > p.contentY + p.height)
            p.contentY = Math.max(0, Math.min(y - 20, p.contentHeight - p.height))
    }
    tc.wait(20)
}

function click(tc, item) {
    tc.verify(item.visible, (item.objectName || "item") + " is not visible")
    reveal(tc, item)
    tc.mouseClick(item)
}

// Click a list row's button by name. A list read again lays its rows out anew at the next frame,
// so the button is found again once revealed: the one found first may be gone by then.
function press(tc, root, name) {
    reveal(tc, find(tc, root, name))
    var item = find(tc, root, name)
    tc.verify(item.visible, name + " is not visible")
    tc.mouseClick(item)
}

// Focus a field by clicking it, select what it holds and type the text key by key.
function type(tc, field, text) {
    var input = field.field !== undefined ? field.field : field
    reveal(tc, input)
    tc.mouseClick(input)
    tc.tryCompare(input, "activeFocus", true)
    // The End key is not reliable offscreen; put the cursor after the text, then erase it.
    input.cursorPosition = input.length
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

// Rows of a list of maps or of a paged list (as far as it has been read).
function count(list) {
    return list.length !== undefined ? list.length : list.count
}

function at(list, index) {
    return list.length !== undefined ? list[index] : list.get(index)
}

function indexWhere(list, predicate) {
    for (var i = 0; i < count(list); ++i) {
        if (predicate(at(list, i)))
            return i
    }
    return -1
}

// Click `button` under `parent` and wait for the dialog named `name` to open.
function open(tc, parent, button, name) {
    click(tc, find(tc, parent, button))
    var dialog = find(tc, parent, name)
    waitOpen(tc, dialog)
    return dialog
}

// Type each value into the field of `dialog` named by its key, in order.
function fill(tc, dialog, values) {
    for (var name in values)
        type(tc, find(tc, dialog, name), values[name])
}

// Index of the first of `rows` matching `predicate`, scrolled into view in the list `listName`.
function row(tc, page, listName, rows, predicate) {
    var index = indexWhere(rows, predicate)
    tc.verify(index >= 0, "no row in " + listName)
    find(tc, page, listName).positionViewAtIndex(index, 0)
    return index
}

// Answer the confirmation that `parent` shows: go ahead (yes) or cancel; returns what it said.
function answer(tc, parent, yes) {
    var dialog = find(tc, parent, "confirmDialog")
    waitOpen(tc, dialog)
    var said = dialog.details
    click(tc, find(tc, dialog, yes ? "confirmButton" : "cancelConfirmButton"))
    waitClosed(tc, dialog)
    return said
}

// Put text into a field as a paste would: key clicks carry only Latin characters offscreen.
function paste(tc, field, text) {
    var input = field.field !== undefined ? field.field : field
    input.text = text
    tc.compare(input.text, text)
}

// Find a record in a SearchPicker by typing `text`, then take the row that `predicate` accepts.
// Opens the picker on what it lists before anything is typed and takes the first row.
function pickFirst(tc, picker) {
    click(tc, picker.field)
    tc.tryVerify(() => picker.popup.opened && picker.results.length > 0, 2000, "the picker lists nothing")
    click(tc, find(tc, picker.popup.contentItem, picker.objectName + "Row0"))
    tc.compare(picker.selectedId, Number(picker.results[0].id))
    return picker.selected
}

function pick(tc, picker, text, predicate) {
    type(tc, picker.field, text)
    tc.tryVerify(() => !picker.searching && picker.popup.opened && picker.results.length > 0, 2000,
                 "no results for " + text)
    var index = indexWhere(picker.results, predicate)
    tc.verify(index >= 0, "no matching row for " + text)
    find(tc, picker.popup.contentItem, picker.objectName + "List").positionViewAtIndex(index, 1)
    click(tc, find(tc, picker.popup.contentItem, picker.objectName + "Row" + index))
    tc.compare(picker.selectedId, Number(picker.results[index].id))
}

// Every warning fails an interface test, except the one Qt prints when a list shrinks while
// its view is still creating rows for it (a filter chosen quickly after another): the view drops
// those rows itself, and the timing decides whether the message shows.
var anyWarning = /^(?!DelegateModel::cancel: index out range)/
