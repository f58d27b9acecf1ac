#pragma once

#include "modelbase.h"

// What the searchable pickers read: the records whose name, ID number, phone or unit number
// contain the typed text, a screenful at a time, each row with `id`, `title` and `detail` (what
// tells two rows with the same name apart). Digits may be typed in any script.
class RecordSearch : public ModelBase
{
    Q_OBJECT
public:
    explicit RecordSearch(Database *db, QObject *parent = nullptr);

    // kind: tenant, buyer, unit, availableUnit, contractor or invoice (an open invoice, of
    // `ownerId` the tenant when it is 1 or more).
    Q_INVOKABLE QVariantList find(
        const QString &kind, const QString &text, int offset, int limit, int ownerId = 0);

    // The text as a LIKE pattern matching it anywhere, its wildcards taken literally.
    static QString containsPattern(const QString &text);
};
