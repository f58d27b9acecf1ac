#pragma once

#include <QAbstractListModel>
#include <QVariantList>

// A list already read in full (the dashboard's alerts, from the second connection) kept on the
// C++ side: a view builds script objects for the rows it draws only, where a script array would
// hold thousands of them for the script engine to walk on every collection.
class RowListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role
    {
        RowRole = Qt::UserRole + 1
    };

    explicit RowListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Replaces every row; anything but a list empties the model.
    Q_INVOKABLE void setRows(const QVariant &rows);
    // The row at `index` as a map, or an empty map.
    Q_INVOKABLE QVariantMap get(int index) const;

    int count() const { return int(m_rows.size()); }

signals:
    void countChanged();

private:
    QVariantList m_rows;
};
