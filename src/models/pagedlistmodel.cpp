#include "pagedlistmodel.h"

#include "database.h"
#include "inputconverter.h"
#include "recordsearch.h"

using namespace Qt::StringLiterals;

namespace {

// The key of each row as read, so that the next page can start after the last one.
const QString kSortKey = u"_sort_key"_s;
const QString kThenKey = u"_then_key"_s;

QString whereOf(const QStringList &conditions)
{
    return conditions.isEmpty() ? QString() : u"WHERE "_s + conditions.join(u" AND "_s);
}

} // namespace

PagedListModel::PagedListModel(Database *db, const ListQuery &query, QObject *parent)
    : QAbstractListModel(parent)
    , m_db(db)
    , m_query(query)
    , m_sort(query.sort)
    , m_descending(query.descending)
{
}

int PagedListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PagedListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const QVariantMap row = m_rows.at(index.row()).toMap();
    if (role == RowRole)
        return row;
    const int column = role - FirstColumnRole;
    if (column < 0 || column >= m_query.roles.size())
        return {};
    return row.value(m_query.roles.at(column));
}

QHash<int, QByteArray> PagedListModel::roleNames() const
{
    QHash<int, QByteArray> names { { RowRole, "row" } };
    for (int i = 0; i < m_query.roles.size(); ++i)
        names.insert(FirstColumnRole + i, m_query.roles.at(i).toUtf8());
    return names;
}

bool PagedListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_stale && !m_exhausted;
}

void PagedListModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const QVariantList page
        = readPage(m_rows.empty() ? QVariantMap() : m_rows.back().toMap(), m_pageSize);
    m_exhausted = page.size() < m_pageSize;
    if (page.isEmpty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + int(page.size()) - 1);
    m_rows.insert(m_rows.end(), page.cbegin(), page.cend());
    endInsertRows();
    emit countChanged();
}

QVariantMap PagedListModel::get(int index) const
{
    return index >= 0 && index < count() ? m_rows.at(index).toMap() : QVariantMap();
}

void PagedListModel::reload()
{
    if (!m_active) {
        m_stale = true;
        return;
    }
    readFirst(m_fromTop ? m_pageSize : qMax(m_pageSize, count()));
}

void PagedListModel::readFirst(int limit)
{
    beginResetModel();
    const QVariantList first = readPage(QVariantMap(), limit);
    m_rows.assign(first.cbegin(), first.cend());
    m_exhausted = first.size() < limit;
    m_stale = false;
    m_fromTop = false;
    endResetModel();
    emit countChanged();
}

void PagedListModel::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    emit activeChanged();
    if (m_active && m_stale)
        reload();
}

void PagedListModel::narrowed()
{
    emit narrowingChanged();
    // A list narrowed or ordered anew starts from its top, not as deep as the last was read.
    m_fromTop = true;
    reload();
}

void PagedListModel::setSearch(const QString &search)
{
    if (m_search != search) {
        m_search = search;
        narrowed();
    }
}

void PagedListModel::setFrom(const QString &from)
{
    if (m_from != from) {
        m_from = from;
        narrowed();
    }
}

void PagedListModel::setTo(const QString &to)
{
    if (m_to != to) {
        m_to = to;
        narrowed();
    }
}

void PagedListModel::setFilters(const QVariantMap &filters)
{
    if (m_filters != filters) {
        m_filters = filters;
        narrowed();
    }
}

void PagedListModel::setSort(const QString &sort)
{
    if (m_sort != sort) {
        m_sort = sort;
        narrowed();
    }
}

void PagedListModel::setDescending(bool descending)
{
    if (m_descending != descending) {
        m_descending = descending;
        narrowed();
    }
}

void PagedListModel::setPageSize(int size)
{
    if (size > 0 && size != m_pageSize) {
        m_pageSize = size;
        emit pageSizeChanged();
    }
}

QVariantList PagedListModel::readPage(const QVariantMap &last, int limit) const
{
    const QString sortName = m_query.sorts.contains(m_sort) ? m_sort : m_query.sort;
    const QString key = m_query.sorts.value(sortName, u"id"_s);
    const QString then = m_query.thenBy.value(sortName);
    QStringList conditions;
    QVariantList params;
    if (!InputConverter::normalized(m_search).isEmpty() && !m_query.searched.isEmpty()) {
        const QString like = RecordSearch::containsPattern(m_search);
        QStringList any;
        for (const QString &column : m_query.searched) {
            any << column + u" LIKE ? ESCAPE '\\'"_s;
            params << like;
        }
        conditions << u"("_s + any.join(u" OR "_s) + u")"_s;
    }
    // A malformed day leaves that end of the range open.
    const QString first = InputConverter::date(m_from);
    const QString lastDay = InputConverter::date(m_to);
    if (!m_query.date.isEmpty() && !first.isEmpty()) {
        conditions << u"substr("_s + m_query.date + u", 1, 10) >= ?"_s;
        params << first;
    }
    if (!m_query.date.isEmpty() && !lastDay.isEmpty()) {
        conditions << u"substr("_s + m_query.date + u", 1, 10) <= ?"_s;
        params << lastDay;
    }
    // Filters in name order, so that the same narrowing is always the same statement.
    for (auto it = m_filters.cbegin(); it != m_filters.cend(); ++it) {
        const QString condition = m_query.filters.value(it.key());
        if (condition.isEmpty() || it.value().isNull() || it.value().toString().isEmpty())
            continue;
        conditions << u"("_s + condition + u")"_s;
        params << it.value();
    }
    const QString direction = m_descending ? u" DESC"_s : u" ASC"_s;
    if (!then.isEmpty())
        return readPageThen(key, then, conditions, params, last, limit);
    // NULL keys sort first: after one, ascending goes on with the rest of the NULLs and then
    // every key; descending has only NULLs left.
    const QVariant lastKey = last.value(kSortKey);
    const QString order = u" ORDER BY %1%2, id%2 LIMIT ?"_s.arg(key, direction);
    const QString from
        = u"SELECT *, %1 AS %2 FROM (%3) AS listed "_s.arg(key, kSortKey, m_query.select);
    if (!last.isEmpty() && !lastKey.isNull()) {
        // The rest of the last key's run, then the keys after it: two bounded reads. As one
        // range, (key, id) < (?, ?), SQLite seeks on the key alone and walks the whole run of an
        // equal key to the page (a million journal entries of one day at ten times the large
        // portfolio: over 100 ms a page).
        const QString beyond = m_descending ? u"<"_s : u">"_s;
        const QString sql
            = u"SELECT * FROM (%1%2 ORDER BY id%3 LIMIT ?) AS same UNION ALL "
              "SELECT * FROM (%1%4%5) AS rest ORDER BY %6%3, id%3 LIMIT ?"_s.arg(from,
                  whereOf(conditions + QStringList { u"%1 = ? AND id %2 ?"_s.arg(key, beyond) }),
                  direction, whereOf(conditions + QStringList { u"%1 %2 ?"_s.arg(key, beyond) }),
                  order, kSortKey);
        const QVariantList narrowing = params;
        params << lastKey << last.value(u"id"_s) << limit;
        params << narrowing << lastKey << limit << limit;
        return m_db->execQuery(sql, params);
    } else if (!last.isEmpty() && m_descending) {
        conditions << u"(%1 IS NULL AND id < ?)"_s.arg(key);
        params << last.value(u"id"_s);
    } else if (!last.isEmpty()) {
        conditions << u"(%1 IS NOT NULL OR id > ?)"_s.arg(key);
        params << last.value(u"id"_s);
    }
    params << limit;
    return m_db->execQuery(from + whereOf(conditions) + order, params);
}

QVariantList PagedListModel::readPageThen(const QString &key, const QString &then,
    const QStringList &conditions, QVariantList params, const QVariantMap &last, int limit) const
{
    const QString direction = m_descending ? u" DESC"_s : u" ASC"_s;
    const QString beyond = m_descending ? u"<"_s : u">"_s;
    const QString from = u"SELECT *, %1 AS %2, %3 AS %4 FROM (%5) AS listed "_s.arg(
        key, kSortKey, then, kThenKey, m_query.select);
    const QString order = u" ORDER BY %1%2, %3%2, id%2 LIMIT ?"_s.arg(key, direction, then);
    if (last.isEmpty()) {
        params << limit;
        return m_db->execQuery(from + whereOf(conditions) + order, params);
    }
    // The rest of the last row's run of both keys, the rest of its run of the first, then the
    // first keys after it: three bounded reads, each along an index where there is one.
    const QString sql
        = u"SELECT * FROM (%1%2 ORDER BY id%3 LIMIT ?) AS same UNION ALL "
          "SELECT * FROM (%1%4 ORDER BY %5%3, id%3 LIMIT ?) AS run UNION ALL "
          "SELECT * FROM (%1%6%7) AS rest ORDER BY %8%3, %9%3, id%3 LIMIT ?"_s.arg(from,
              whereOf(conditions
                  + QStringList { u"%1 = ? AND %2 = ? AND id %3 ?"_s.arg(key, then, beyond) }),
              direction,
              whereOf(conditions + QStringList { u"%1 = ? AND %2 %3 ?"_s.arg(key, then, beyond) }),
              then, whereOf(conditions + QStringList { u"%1 %2 ?"_s.arg(key, beyond) }), order,
              kSortKey, kThenKey);
    const QVariantList narrowing = params;
    const QVariant lastKey = last.value(kSortKey);
    const QVariant lastThen = last.value(kThenKey);
    params << lastKey << lastThen << last.value(u"id"_s) << limit;
    params << narrowing << lastKey << lastThen << limit;
    params << narrowing << lastKey << limit << limit;
    return m_db->execQuery(sql, params);
}
