import QtQuick

// One long read run on the second connection (`backgroundReader`), away from the window's thread;
// `ready` hands over its result. Running it again before the result came drops the older one.
// With `into` set (a RowListModel), a list goes straight into that model and `ready` carries
// nothing: the rows never become script objects.
QtObject {
    id: call

    property string object
    property string method
    property QtObject into: null
    property int ticket: 0
    readonly property bool loading: ticket !== 0

    signal ready(var result)

    function run(args) {
        ticket = backgroundReader.call(object, method, args || [])
    }

    property Connections watcher: Connections {
        target: backgroundReader
        function onReady(number) {
            if (number !== call.ticket)
                return
            call.ticket = 0
            if (call.into) {
                backgroundReader.resultInto(number, call.into)
                call.ready(undefined)
            } else {
                call.ready(backgroundReader.result(number))
            }
        }
    }
}
