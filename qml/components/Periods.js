.pragma library

// Billing periods ("yyyy-MM") and report ranges typed by the operator.

function currentPeriod() {
    return Qt.formatDate(new Date(), "yyyy-MM")
}

function isPeriod(value) {
    var m = /^(\d{4})-(\d{2})$/.exec(String(value))
    return m !== null && Number(m[2]) >= 1 && Number(m[2]) <= 12
}

function startOfYear() {
    return new Date().getFullYear() + "-01-01"
}
