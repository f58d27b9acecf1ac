import QtQuick
import QtQuick.Layouts
import "Theme.js" as Theme

// A search field with an optional date range above a list. `accepts(texts, date)` tells whether
// a row passes: one of its texts contains what was typed (digits in any script), and its date
// lies in the range. `changed` fires as the user types.
RowLayout {
    id: root

    property bool dates: true

    signal changed

    // Read from the fields each time: `changed` may reach the page before a binding on them
    // has caught up.
    function accepts(texts, date) {
        var query = inputConverter.normalized(searchField.text).toLowerCase()
        var from = inputConverter.date(fromField.text)
        var to = inputConverter.date(toField.text)
        if (query !== "") {
            var found = false
            for (var i = 0; i < texts.length && !found; ++i)
                found = inputConverter.normalized(Theme.text(texts[i])).toLowerCase().indexOf(query) >= 0
            if (!found)
                return false
        }
        var day = Theme.text(date).substring(0, 10)
        if (from !== "" && day < from)
            return false
        if (to !== "" && day > to)
            return false
        return true
    }

    // The fields as typed, for a page that filters in SQL.
    function searchText() {
        return searchField.text
    }
    function setSearch(text) {
        fromField.text = ""
        toField.text = ""
        searchField.text = text
    }
    function fromText() {
        return fromField.text
    }
    function toText() {
        return toField.text
    }

    spacing: 10

    MTextField {
        id: searchField
        objectName: root.objectName !== "" ? root.objectName + "Search" : ""
        Layout.fillWidth: true
        placeholderText: "🔍 بحث..."
        onTextChanged: root.changed()
    }
    MTextField {
        id: fromField
        objectName: root.objectName !== "" ? root.objectName + "From" : ""
        visible: root.dates
        Layout.fillWidth: false
        Layout.preferredWidth: 160
        placeholderText: "من YYYY-MM-DD"
        onTextChanged: root.changed()
    }
    MTextField {
        id: toField
        objectName: root.objectName !== "" ? root.objectName + "To" : ""
        visible: root.dates
        Layout.fillWidth: false
        Layout.preferredWidth: 160
        placeholderText: "إلى YYYY-MM-DD"
        onTextChanged: root.changed()
    }
}
