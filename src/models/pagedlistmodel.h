#pragma once

#include "listquery.h"

#include <QAbstractListModel>
#include <QVariantMap>
#include <deque>

class Database;

// A long list read a page at a time as the view scrolls. Each page starts after the sort key and
// id of the last row already read, so a row written meanwhile never shifts or repeats a page.
// Search, date range, filters and order are applied in SQL; setting any of them reads the first
// page again. Inactive (its page hidden), a list only notes that its rows went stale and reads
// them once it is active again.
class PagedListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY narrowingChanged)
    Q_PROPERTY(QString from READ from WRITE setFrom NOTIFY narrowingChanged)
    Q_PROPERTY(QString to READ to WRITE setTo NOTIFY narrowingChanged)
    Q_PROPERTY(QVariantMap filters READ filters WRITE setFilters NOTIFY narrowingChanged)
    Q_PROPERTY(QString sort READ sort WRITE setSort NOTIFY narrowingChanged)
    Q_PROPERTY(bool descending READ descending WRITE setDescending NOTIFY narrowingChanged)
    Q_PROPERTY(int pageSize READ pageSize WRITE setPageSize NOTIFY pageSizeChanged)

public:
    PagedListModel(Database *db, const ListQuery &query, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The row at `index` as a map, or an empty map.
    Q_INVOKABLE QVariantMap get(int index) const;
    // Reads the rows again, as many as were read before (at least a page); inactive, only once
    // it is next made active. For the writes that the list depends on.
    Q_INVOKABLE void reload();

    int count() const { return int(m_rows.size()); }
    bool active() const { return m_active; }
    void setActive(bool active);
    QString search() const { return m_search; }
    void setSearch(const QString &search);
    QString from() const { return m_from; }
    void setFrom(const QString &from);
    QString to() const { return m_to; }
    void setTo(const QString &to);
    QVariantMap filters() const { return m_filters; }
    void setFilters(const QVariantMap &filters);
    QString sort() const { return m_sort; }
    void setSort(const QString &sort);
    bool descending() const { return m_descending; }
    void setDescending(bool descending);
    int pageSize() const { return m_pageSize; }
    void setPageSize(int size);

signals:
    void countChanged();
    void activeChanged();
    void narrowingChanged();
    void pageSizeChanged();

private:
    enum Role
    {
        RowRole = Qt::UserRole + 1,
        FirstColumnRole
    };

    // Up to `limit` rows after `last` (the whole start of the list when it is empty).
    QVariantList readPage(const QVariantMap &last, int limit) const;
    QVariantList readPageThen(const QString &key, const QString &then,
        const QStringList &conditions, QVariantList params, const QVariantMap &last,
        int limit) const;
    // Replaces the rows with the first `limit` of the list.
    void readFirst(int limit);
    void narrowed();

    Database *m_db;
    ListQuery m_query;
    // Chunked rather than one array: a million rows read by scrolling are never moved as one
    // block when the storage grows (a list crossing 2^20 rows held the window 90 ms).
    std::deque<QVariant> m_rows;
    bool m_exhausted = false;
    bool m_active = false;
    bool m_stale = true;
    bool m_fromTop = true;
    QString m_search;
    QString m_from;
    QString m_to;
    QVariantMap m_filters;
    QString m_sort;
    bool m_descending = false;
    int m_pageSize = 60;
};
