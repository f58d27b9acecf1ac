#pragma once

#include <QObject>
#include <QString>

// Turns numbers and dates as people type them (Arabic-Indic or Persian digits, thousands
// separators, the Arabic decimal separator) into the values the models take. Every amount and
// date field of the interface reads its text through here.
class InputConverter : public QObject
{
    Q_OBJECT
public:
    explicit InputConverter(QObject *parent = nullptr);

    // Arabic-Indic and Persian digits as ASCII, the Arabic decimal separator as '.', the Arabic
    // thousands separator as ','; surrounding spaces and direction marks dropped.
    Q_INVOKABLE static QString normalized(const QString &text);
    // The amount, or NaN when the text is not a number. Thousands separators must group by three.
    Q_INVOKABLE static double amount(const QString &text);
    // The date as "yyyy-MM-dd", or empty when it is malformed or does not exist.
    Q_INVOKABLE static QString date(const QString &text);
    // Shaped like "yyyy-MM-dd" (in any digits) whether or not the calendar has that day.
    Q_INVOKABLE static bool isDateShaped(const QString &text);
};
