#include "inputconverter.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

using namespace Qt::StringLiterals;

InputConverter::InputConverter(QObject *parent)
    : QObject(parent)
{
}

QString InputConverter::normalized(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x0660 && u <= 0x0669)
            out += QChar(u'0' + (u - 0x0660));
        else if (u >= 0x06F0 && u <= 0x06F9)
            out += QChar(u'0' + (u - 0x06F0));
        else if (u == 0x066B)
            out += u'.';
        else if (u == 0x066C)
            out += u',';
        // Direction marks that pasted Arabic text often carries.
        else if (u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x2066 && u <= 0x2069))
            continue;
        else
            out += c;
    }
    return out.trimmed();
}

double InputConverter::amount(const QString &text)
{
    static const QRegularExpression shape(
        u"^-?(?:\\d+|\\d{1,3}(?:,\\d{3})+)(?:\\.\\d+)?$|^-?\\.\\d+$"_s);
    const QString t = normalized(text);
    if (!shape.match(t).hasMatch())
        return std::nan("");
    QString plain = t;
    plain.remove(u',');
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok && std::isfinite(value) ? value : std::nan("");
}

bool InputConverter::isDateShaped(const QString &text)
{
    static const QRegularExpression shape(u"^\\d{4}-\\d{2}-\\d{2}$"_s);
    return shape.match(normalized(text)).hasMatch();
}

QString InputConverter::date(const QString &text)
{
    if (!isDateShaped(text))
        return {};
    const QString t = normalized(text);
    const QDate d = QDate::fromString(t, u"yyyy-MM-dd"_s);
    return d.isValid() ? t : QString();
}
