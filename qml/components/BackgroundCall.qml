import QtQuick

// One long read run on the second connection (`background`), away from the window's thread;
// `ready` hands over its result. Running it again before the result came drops the older one.
QtObject {
    id: call

    property string object
    property string method
    property int ticket: 0
    readonly property bool loading: ticket !== 0

    signal ready(var result)

    function run(args) {
        // Between one set of objects and the next (a restore, a fresh start) there is no reader.
        ticket = background ? background.call(object, method, args || []) : 0
    }

    property Connections watcher: Connections {
        target: background
        function onFinished(number, result) {
            if (number !== call.ticket)
                return
            call.ticket = 0
            call.ready(result)
        }
    }
}
