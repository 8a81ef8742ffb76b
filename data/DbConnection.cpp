#include "DbConnection.h"

#include "FbClient.h"
#include "LocalBase.h"

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
        ++generation_;
    } catch (const DbError& e) {
        // The engine's text is English and may not name the file: say what
        // failed first, the engine's reason after it.
        const QString servidor = LocalBase::servidorDoNome(databaseName);
        throw DbError(servidor.isEmpty()
                          ? QStringLiteral("Não foi possível conectar ao banco de dados \"%1\": %2")
                                .arg(QDir::toNativeSeparators(databaseName), e.message().trimmed())
                          : QStringLiteral("Não foi possível conectar ao banco de dados \"%1\" no servidor "
                                           "\"%2\": %3\nVerifique se o servidor está ligado e ao alcance "
                                           "da rede e tente de novo.")
                                .arg(databaseName, servidor, e.message().trimmed()),
                      e.sqlCode(), e.sqlState());
    }
}

Attachment& DbConnection::attachment()
{
    if (!attachment_) {
        if (databaseName.isEmpty())
            throw DbError(QStringLiteral("Não há conexão com o banco de dados."));
        open();
    }
    return *attachment_;
}

DbError DbConnection::lost(const DbError& e)
{
    // Statements and transactions of the lost attachment go with their
    // owners' next call, the attachment itself with this connection.
    lost_.push_back(std::move(attachment_));
    const QString servidor = LocalBase::servidorDoNome(databaseName);
    return DbError(servidor.isEmpty()
                       ? QStringLiteral("A conexão com o banco de dados \"%1\" foi perdida: %2")
                             .arg(QDir::toNativeSeparators(databaseName), e.message().trimmed())
                       : QStringLiteral("A conexão com o servidor de banco de dados \"%1\" foi perdida: %2\n"
                                        "Tente de novo quando o servidor voltar a responder.")
                             .arg(servidor, e.message().trimmed()),
                   e.sqlCode(), e.sqlState(), true);
}

DbTransaction::DbTransaction(DbConnection& connection) : connection_(connection) {}
DbTransaction::~DbTransaction() = default;

void DbTransaction::startTransaction()
{
    if (inTransaction())
        return;
    transaction_.reset();
    connection_.guarded([&] {
        Attachment& attachment = connection_.attachment();
        transaction_ = std::make_unique<Transaction>(Transaction::start(attachment));
    });
    generation_ = connection_.generation();
}

void DbTransaction::commitRetaining()
{
    connection_.guarded([&] { transaction().commitRetaining(); });
}

void DbTransaction::rollbackRetaining()
{
    connection_.guarded([&] { transaction().rollbackRetaining(); });
}

Transaction& DbTransaction::transaction()
{
    if (!inTransaction())
        throw DbError(QStringLiteral("A transação não está ativa."));
    return *transaction_;
}

} // namespace norvel::db
