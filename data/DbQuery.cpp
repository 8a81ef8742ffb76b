#include "DbQuery.h"

#include "DbConnection.h"
#include "DbError.h"
#include "FbStatement.h"
#include "SqlParams.h"

#include <QDate>

namespace norvel::db {

namespace {

const QDate zeroDate(1899, 12, 30);

// Marks a change being announced, from its begin signal to its end signal.
struct ChangeGuard {
    explicit ChangeGuard(bool& flag) : flag(flag) { flag = true; }
    ~ChangeGuard() { flag = false; }
    bool& flag;
};

// A repeated name gets 1, 2, ... on its later occurrences.
QStringList uniqueNames(const QStringList& names)
{
    QStringList out;
    for (const QString& name : names) {
        QString unique = name;
        for (int n = 1; out.contains(unique); ++n)
            unique = name + QString::number(n);
        out << unique;
    }
    return out;
}

} // namespace

QVariant DbRecord::value(const QString& field) const
{
    const int i = query_.fieldIndex(field);
    if (i < 0)
        throw DbError(QStringLiteral("%1: campo %2 não encontrado").arg(query_.name(), field));
    return values_[i];
}

DbQuery::DbQuery(QString name, DbConnection& connection, DbTransaction& transaction, QStringList sqlLines)
    : name_(std::move(name)), connection_(connection), transaction_(transaction), sqlLines_(std::move(sqlLines))
{
    setObjectName(name_);
    paramNames_ = toPositional(sql()).names;
    params_.resize(paramNames_.size());
}

DbQuery::~DbQuery() = default;

QString DbQuery::sql() const
{
    return sqlLines_.join(QLatin1Char('\n'));
}

int DbQuery::paramIndex(const QString& name) const
{
    for (int i = 0; i < paramNames_.size(); ++i)
        if (paramNames_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw DbError(QStringLiteral("%1: parâmetro %2 não existe").arg(name_, name));
}

void DbQuery::setParam(int index, const QVariant& value)
{
    if (index < 0 || index >= params_.size())
        throw DbError(QStringLiteral("%1: parâmetro %2 não existe").arg(name_).arg(index));
    params_[index] = value;
}

void DbQuery::setParam(const QString& name, const QVariant& value)
{
    // The same name may appear more than once in a statement.
    paramIndex(name);
    for (int i = 0; i < paramNames_.size(); ++i)
        if (paramNames_[i].compare(name, Qt::CaseInsensitive) == 0)
            params_[i] = value;
}

void DbQuery::open(int firstRows)
{
    if (!active_)
        reopen(firstRows);
}

void DbQuery::reopen(int firstRows)
{
    const ChangeGuard change(notifying_);
    beginResetModel();
    cursor_.reset();
    rows_.clear();
    active_ = false;
    firstRows_ = firstRows;
    try {
        transaction_.startTransaction();
        connection_.guarded([&] {
            if (statement_ && !connection_.isCurrent(generation_))
                statement_.reset();
            if (!statement_) {
                statement_ = std::make_unique<Statement>(connection_.attachment(), transaction_.transaction(),
                                                         toPositional(sql()).text);
                generation_ = connection_.generation();
            }
            fieldNames_ = uniqueNames(statement_->outputNames());
            fieldIndex_.clear();
            for (int i = 0; i < fieldNames_.size(); ++i)
                fieldIndex_.insert(fieldNames_[i], i);
            rebuildColumns();
            cursor_ = statement_->openCursor(transaction_.transaction(), params_);
            active_ = true;
            fetchChunk(rows_, firstRows);
        });
    } catch (...) {
        cursor_.reset();
        rows_.clear();
        active_ = false;
        endResetModel();
        throw;
    }
    endResetModel();
}

void DbQuery::close()
{
    if (!active_)
        return;
    const ChangeGuard change(notifying_);
    beginResetModel();
    cursor_.reset();
    rows_.clear();
    active_ = false;
    endResetModel();
}

void DbQuery::fetchChunk(std::vector<QVariantList>& into, size_t count)
{
    QVariantList row;
    size_t taken = 0;
    while (taken < count && cursor_->fetchNext(row)) {
        if (filter_ && !filter_(DbRecord(*this, row)))
            continue;
        into.push_back(std::move(row));
        ++taken;
    }
}

void DbQuery::rebuildColumns()
{
    visibleFields_.clear();
    for (const QString& field : std::as_const(columnOrder_)) {
        const int i = fieldIndex(field);
        if (i >= 0 && !hidden_.contains(field))
            visibleFields_.push_back(i);
    }
    for (int i = 0; i < fieldNames_.size(); ++i)
        if (!hidden_.contains(fieldNames_[i]) && !columnOrder_.contains(fieldNames_[i]))
            visibleFields_.push_back(i);
}

void DbQuery::setColumnOrder(const QStringList& fields)
{
    columnOrder_.clear();
    for (const QString& field : fields)
        columnOrder_ << field.toUpper();
    const bool reset = !fieldNames_.isEmpty();
    const ChangeGuard change(notifying_);
    if (reset)
        beginResetModel();
    rebuildColumns();
    if (reset)
        endResetModel();
}

void DbQuery::setFieldLabel(const QString& field, const QString& label)
{
    labels_.insert(field.toUpper(), label);
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void DbQuery::setFieldHidden(const QString& field, bool hidden)
{
    const bool reset = !fieldNames_.isEmpty();
    const ChangeGuard change(notifying_);
    if (reset)
        beginResetModel();
    if (hidden)
        hidden_.insert(field.toUpper());
    else
        hidden_.remove(field.toUpper());
    rebuildColumns();
    if (reset)
        endResetModel();
}

QString DbQuery::fieldLabel(const QString& field) const
{
    return labels_.value(field.toUpper(), field.toUpper());
}

bool DbQuery::isFieldHidden(const QString& field) const
{
    return hidden_.contains(field.toUpper());
}

int DbQuery::fieldIndex(const QString& field) const
{
    return fieldIndex_.value(field.toUpper(), -1);
}

int DbQuery::columnOf(const QString& field) const
{
    const int i = fieldIndex(field);
    for (size_t c = 0; c < visibleFields_.size(); ++c)
        if (visibleFields_[c] == i)
            return static_cast<int>(c);
    return -1;
}

QString DbQuery::fieldOfColumn(int column) const
{
    if (column < 0 || column >= static_cast<int>(visibleFields_.size()))
        return {};
    return fieldNames_[visibleFields_[column]];
}

QVariant DbQuery::value(int row, const QString& field) const
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(QStringLiteral("%1: campo %2 não encontrado").arg(name_, field));
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return {};
    return rows_[row][i];
}

bool DbQuery::isEmpty() const
{
    return rows_.empty();
}

void DbQuery::fetchAll()
{
    while (canFetchMore() && appendChunk()) {
    }
}

int DbQuery::locate(const QString& field, const QVariant& wanted)
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw DbError(QStringLiteral("%1: campo %2 não encontrado").arg(name_, field));
    for (size_t r = 0;; ++r) {
        if (r == rows_.size()) {
            if (!canFetchMore() || !appendChunk())
                return -1;
        }
        if (rows_[r][i] == wanted)
            return static_cast<int>(r);
    }
}

int DbQuery::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DbQuery::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(visibleFields_.size());
}

QVariant DbQuery::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QVariant& v = rows_[index.row()][visibleFields_[index.column()]];
    switch (role) {
    case Qt::DisplayRole:
        if (v.typeId() == QMetaType::QDate) {
            const QDate d = v.toDate();
            return d == zeroDate ? QString() : d.toString(QStringLiteral("dd/MM/yyyy"));
        }
        return v.isValid() ? v.toString() : QString();
    case Qt::EditRole:
        return v;
    default:
        return {};
    }
}

QVariant DbQuery::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= columnCount())
        return {};
    const QString field = fieldNames_[visibleFields_[section]];
    if (role == Qt::DisplayRole)
        return fieldLabel(field);
    if (role == Qt::UserRole)
        return field;
    return {};
}

bool DbQuery::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && active_ && cursor_ && !cursor_->atEnd() && !isStale();
}

void DbQuery::fetchMore(const QModelIndex& parent)
{
    // Views that ask for more while a change is being announced get it on
    // their next request, not nested inside the announcement.
    if (!notifying_ && canFetchMore(parent))
        appendChunk();
}

bool DbQuery::appendChunk()
{
    std::vector<QVariantList> added;
    connection_.guarded([&] { fetchChunk(added, ChunkSize); });
    if (added.empty())
        return false;
    const size_t before = rows_.size();
    const ChangeGuard change(notifying_);
    beginInsertRows({}, static_cast<int>(before), static_cast<int>(before + added.size() - 1));
    for (auto& r : added)
        rows_.push_back(std::move(r));
    endInsertRows();
    return true;
}

} // namespace norvel::db
