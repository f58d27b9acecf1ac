import QtQuick

// One long read run on the second connection (`backgroundReader`), away from the window's thread;
// `ready` hands over its result. Running it again before the result came drops the older one.
QtObject {
    id: call

    property string object
    property string method
    property int ticket: 0
    readonly property bool loading: ticket !== 0

    signal ready(var result)

    function run(args) {
        ticket = backgroundReader.call(object, method, args || [])
    }

    property Connections watcher: Connections {
        target: backgroundReader
        function onFinished(number, result) {
            if (number !== call.ticket)
                return
            call.ticket = 0
            call.ready(result)
        }
    }
}
