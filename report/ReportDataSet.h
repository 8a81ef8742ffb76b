#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <concepts>

class QAbstractItemModel;

namespace norvel::report {

// The rows a report runs over, read by field name. The row count may grow:
// a lazy list offers more rows through canFetchMore()/fetchMore(), and the
// engine asks for them until there are none left.
class DataSet {
public:
    virtual ~DataSet() = default;

    virtual int rowCount() const = 0;
    virtual bool canFetchMore() const { return false; }
    virtual void fetchMore() {}
    virtual bool hasField(const QString &field) const = 0;
    // An invalid QVariant stands for NULL.
    virtual QVariant value(int row, const QString &field) const = 0;
};

// Any item model, its fields named by the horizontal header: Qt::UserRole
// when the model gives one (the data module's queries put the field name
// there), else the header text. Values are read at Qt::EditRole, so dates
// stay dates, falling back to the display text.
class ModelDataSet final : public DataSet {
public:
    explicit ModelDataSet(QAbstractItemModel &model);

    int rowCount() const override;
    bool canFetchMore() const override;
    void fetchMore() override;
    bool hasField(const QString &field) const override;
    QVariant value(int row, const QString &field) const override;

private:
    QAbstractItemModel &model_;
    QHash<QString, int> columns_;
};

// A query that names its fields itself and reads hidden ones too, such as
// norvel::db::DbQuery (fieldNames(), value(row, field), fetchAll()).
template <class Q>
concept FieldQuery = requires(Q &q, const Q &cq, int row, const QString &field) {
    { cq.fieldNames() } -> std::convertible_to<QStringList>;
    { cq.value(row, field) } -> std::convertible_to<QVariant>;
    { cq.rowCount() } -> std::convertible_to<int>;
    { cq.canFetchMore() } -> std::convertible_to<bool>;
    q.fetchMore();
};

template <FieldQuery Q>
class QueryDataSet final : public DataSet {
public:
    explicit QueryDataSet(Q &query) : query_(query) {}

    int rowCount() const override { return query_.rowCount(); }
    bool canFetchMore() const override { return query_.canFetchMore(); }
    void fetchMore() override { query_.fetchMore(); }
    bool hasField(const QString &field) const override { return query_.fieldNames().contains(field); }
    QVariant value(int row, const QString &field) const override { return query_.value(row, field); }

private:
    Q &query_;
};

} // namespace norvel::report
