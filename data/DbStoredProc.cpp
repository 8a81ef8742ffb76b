#include "DbStoredProc.h"

#include "DbConnection.h"
#include "DbError.h"
#include "FbStatement.h"

namespace norvel::db {

DbStoredProc::DbStoredProc(QString name, DbConnection& connection, DbTransaction& transaction,
                           QString procedureName)
    : name_(std::move(name)), connection_(connection), transaction_(transaction),
      procedureName_(std::move(procedureName))
{
}

DbStoredProc::~DbStoredProc() = default;

void DbStoredProc::prepare()
{
    transaction_.startTransaction();
    if (statement_ && connection_.isCurrent(generation_))
        return;
    statement_.reset();
    connection_.guarded([&] { prepareStatement(); });
}

void DbStoredProc::prepareStatement()
{
    Statement params(connection_.attachment(), transaction_.transaction(),
                     QStringLiteral("select RDB$PARAMETER_NAME, RDB$PARAMETER_TYPE from RDB$PROCEDURE_PARAMETERS "
                                    "where RDB$PROCEDURE_NAME = ? order by RDB$PARAMETER_TYPE, RDB$PARAMETER_NUMBER"));
    auto cursor = params.openCursor(transaction_.transaction(), {procedureName_});
    QStringList inputs, outputs;
    QVariantList row;
    while (cursor->fetchNext(row))
        (row[1].toInt() == 0 ? inputs : outputs) << row[0].toString().trimmed();
    cursor.reset();

    QString sql = QStringLiteral("EXECUTE PROCEDURE ") + procedureName_;
    if (!inputs.isEmpty()) {
        QStringList marks(inputs.size(), QStringLiteral("?"));
        sql += QStringLiteral(" (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    statement_ = std::make_unique<Statement>(connection_.attachment(), transaction_.transaction(), sql);
    inputs_ = inputs;
    outputs_ = outputs;
    generation_ = connection_.generation();
}

void DbStoredProc::setParam(const QString& input, const QVariant& value)
{
    values_.insert(input.toUpper(), value);
}

void DbStoredProc::clearParams()
{
    values_.clear();
}

void DbStoredProc::execute()
{
    prepare();
    for (const QString& key : values_.keys())
        if (!inputs_.contains(key))
            throw DbError(QStringLiteral("%1: o procedimento %2 não tem o parâmetro %3")
                              .arg(name_, procedureName_, key));
    QVariantList inputs;
    for (const QString& input : std::as_const(inputs_)) {
        const auto it = values_.constFind(input);
        if (it == values_.constEnd())
            throw DbError(QStringLiteral("%1: parâmetro %2 não informado").arg(name_, input));
        inputs << *it;
    }
    // A failed call leaves no outputs of an earlier one behind.
    results_.clear();
    results_ = connection_.guarded([&] { return statement_->execute(transaction_.transaction(), inputs); });
}

QVariant DbStoredProc::output(const QString& name) const
{
    const qsizetype i = outputs_.indexOf(name.toUpper());
    if (i < 0 || i >= results_.size())
        throw DbError(QStringLiteral("%1: saída %2 não disponível").arg(name_, name));
    return results_[i];
}

QStringList DbStoredProc::inputNames()
{
    prepare();
    return inputs_;
}

QStringList DbStoredProc::outputNames()
{
    prepare();
    return outputs_;
}

} // namespace norvel::db
