.pragma library

// The dark-and-gold theme shared by every page and component.
var bgPrimary = "#0a0e1a"
var bgSecondary = "#111827"
var bgCard = "#1a1f35"
var bgSidebar = "#0f1328"
var accentGold = "#d4a843"
var accentGoldLight = "#e8c76a"
var accentGoldDark = "#b8922e"
var textPrimary = "#ffffff"
var textSecondary = "#94a3b8"
var textMuted = "#64748b"
var borderColor = "#1e293b"
var successColor = "#22c55e"
var warningColor = "#f59e0b"
var dangerColor = "#ef4444"

// The second gold: side bar, buttons and printed documents.
var gold = "#C5A059"
var sideBarBg = "#020617"
var inputBg = "#0f172a"
var placeholder = "#475569"

// Installed by the set-up script; it carries the Arabic glyphs.
var fontFamily = "Noto Sans Arabic"

// A number in the locale's format: whole numbers without decimals, others with two.
function number(value) {
    var n = Number(value)
    if (!isFinite(n))
        n = 0
    var decimals = Math.abs(n - Math.round(n)) < 0.005 ? 0 : 2
    return n.toLocaleString(Qt.locale(), 'f', decimals)
}

function money(value) {
    return number(value) + " ₪"
}

// Row lists from the business objects, or an empty list when there is nothing.
function rows(value) {
    return value ? value : []
}

function text(value) {
    return value === undefined || value === null ? "" : String(value)
}

function today() {
    return Qt.formatDate(new Date(), "yyyy-MM-dd")
}

// A real "yyyy-MM-dd" calendar date.
function isIsoDate(value) {
    if (!/^\d{4}-\d{2}-\d{2}$/.test(value))
        return false
    var d = new Date(value + "T00:00:00")
    return !isNaN(d.getTime()) && Qt.formatDate(d, "yyyy-MM-dd") === value
}

// A finite number typed by the operator, or NaN.
function parseAmount(value) {
    var t = String(value).trim()
    if (t === "" || !/^-?\d*\.?\d+$/.test(t))
        return NaN
    return Number(t)
}
