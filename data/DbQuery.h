#pragma once

#include "DbConnection.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace norvel::db {

class Cursor;
class Statement;

// One row of a query while it is being fetched, handed to the record filter.
class DbRecord {
public:
    DbRecord(const class DbQuery& query, const QVariantList& values) : query_(query), values_(values) {}
    QVariant value(const QString& field) const;

private:
    const class DbQuery& query_;
    const QVariantList& values_;
};

// A read-only SELECT over the data module's connection and transaction, offered
// as a Qt item model. Opening wraps a model reset and fetches the first rows,
// a chunk of 1000 unless told fewer (a grid's first screen); a view asks for
// more, a chunk at a time, through canFetchMore()/fetchMore(), so a list of a
// million rows is never read whole.
//
// Columns of the model are the visible fields in result order; hidden fields
// stay reachable through value(row, name). Header text is the field's display
// label, or its name when it has none; Qt::UserRole on the horizontal header
// gives the field name. Text is decoded from Latin-1, CHAR values lose their
// trailing blanks, dates are QDate (shown as dd/MM/yyyy; the zero date
// 30/12/1899, which means "not printed", is shown empty).
//
// A field name repeated in the result gets the suffix 1, 2, ... on its later
// occurrences (the computed DATAIMPRESSAO of ListaCheques is DATAIMPRESSAO1).
class DbQuery : public QAbstractTableModel {
    Q_OBJECT
public:
    using RecordFilter = std::function<bool(const DbRecord&)>;

    DbQuery(QString name, DbConnection& connection, DbTransaction& transaction, QStringList sqlLines);
    ~DbQuery() override;

    const QString& name() const { return name_; }
    // Statement text: the lines joined by "\n".
    QString sql() const;

    // Parameters by position (first parameter = 0) or by name (":DataEmissao"
    // is "DataEmissao", case-insensitive). A QDate or QDateTime is sent as a
    // DATE (time dropped), an integer as an integer, a string as Latin-1 text.
    void setParam(int index, const QVariant& value);
    void setParam(const QString& name, const QVariant& value);
    const QStringList& paramNames() const { return paramNames_; }

    // Open starts the transaction when it is not active and fetches the first
    // firstRows rows. Errors throw DbError and leave the query closed.
    void open(int firstRows = ChunkSize);
    void close();
    // Runs the statement anew in one model reset, fetching firstRows first
    // rows, or as many as the last open did.
    void reopen(int firstRows);
    void reopen() { reopen(firstRows_); }
    bool isActive() const { return active_; }
    // Open, with rows read on an attachment since lost: reopen() reads them
    // anew (on a new attachment), and no more rows are fetched meanwhile.
    bool isStale() const { return active_ && !connection_.isCurrent(generation_); }

    // Per-row filter applied while fetching (rows it refuses are skipped).
    void setFilter(RecordFilter filter) { filter_ = std::move(filter); }

    // Field settings; names are the result's (upper case).
    void setFieldLabel(const QString& field, const QString& label);
    void setFieldHidden(const QString& field, bool hidden = true);
    // Model columns in this order first, the other visible fields after them
    // in result order (the result itself keeps the statement's order).
    void setColumnOrder(const QStringList& fields);
    QString fieldLabel(const QString& field) const;
    bool isFieldHidden(const QString& field) const;

    // Fields of the open result, all of them (hidden included), in order.
    const QStringList& fieldNames() const { return fieldNames_; }
    int fieldIndex(const QString& field) const; // -1 when unknown
    // Model column of a visible field, -1 when hidden or unknown.
    int columnOf(const QString& field) const;
    QString fieldOfColumn(int column) const;

    // Typed access to fetched rows. Throws DbError for an unknown field;
    // a NULL reads as an invalid QVariant.
    QVariant value(int row, const QString& field) const;
    // True when the open result has no row at all.
    bool isEmpty() const;
    // Fetches the rest (reports need every row).
    void fetchAll();
    // First row whose field equals value, fetching as needed; -1 when none.
    int locate(const QString& field, const QVariant& value);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

    static constexpr int ChunkSize = 1000;

private:
    void fetchChunk(std::vector<QVariantList>& into, size_t count);
    bool appendChunk();
    void rebuildColumns();
    int paramIndex(const QString& name) const;

    QString name_;
    DbConnection& connection_;
    DbTransaction& transaction_;
    QStringList sqlLines_;
    QStringList paramNames_;
    QVariantList params_;
    RecordFilter filter_;
    QHash<QString, QString> labels_;
    QSet<QString> hidden_;
    QStringList columnOrder_;

    bool active_ = false;
    bool notifying_ = false;
    int firstRows_ = ChunkSize;
    std::unique_ptr<Statement> statement_;
    std::unique_ptr<Cursor> cursor_;
    unsigned generation_ = 0; // of the attachment statement_ was prepared on
    QStringList fieldNames_;
    QHash<QString, int> fieldIndex_;
    std::vector<int> visibleFields_;
    std::vector<QVariantList> rows_;
};

} // namespace norvel::db
