#include "DbConnection.h"

#include "FbClient.h"

#include <QDir>

namespace norvel::db {

DbConnection::DbConnection() = default;
DbConnection::~DbConnection() = default;

void DbConnection::open()
{
    if (attachment_)
        return;
    try {
        attachment_ = std::make_unique<Attachment>(Attachment::attach(databaseName, params, sqlDialect));
    } catch (const DbError& e) {
        // The engine's text is English and may not name the file: say what
        // failed first, the engine's reason after it.
        throw DbError(QStringLiteral("Não foi possível conectar ao banco de dados \"%1\": %2")
                          .arg(QDir::toNativeSeparators(databaseName), e.message().trimmed()),
                      e.sqlCode(), e.sqlState());
    }
}

Attachment& DbConnection::attachment()
{
    if (!attachment_)
        throw DbError(QStringLiteral("Não há conexão com o banco de dados."));
    return *attachment_;
}

DbTransaction::DbTransaction(DbConnection& connection) : connection_(connection) {}
DbTransaction::~DbTransaction() = default;

void DbTransaction::startTransaction()
{
    if (transaction_)
        return;
    transaction_ = std::make_unique<Transaction>(Transaction::start(connection_.attachment()));
}

void DbTransaction::commitRetaining()
{
    transaction().commitRetaining();
}

void DbTransaction::rollbackRetaining()
{
    transaction().rollbackRetaining();
}

Transaction& DbTransaction::transaction()
{
    if (!transaction_)
        throw DbError(QStringLiteral("A transação não está ativa."));
    return *transaction_;
}

} // namespace norvel::db
