#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace norvel::db {

class Attachment;
class Transaction;

// The database connection: a file opened through the embedded engine with
// fixed parameters ("user_name=...", "password=...", "lc_ctype=...").
class DbConnection {
public:
    DbConnection();
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    QString databaseName;
    QStringList params;
    int sqlDialect = 3;

    void open();   // throws DbError
    bool connected() const { return attachment_ != nullptr; }
    Attachment& attachment(); // throws DbError when not connected

private:
    std::unique_ptr<Attachment> attachment_;
};

// The one transaction. Commit and rollback both retain the context, so
// cursors opened in it stay open.
class DbTransaction {
public:
    explicit DbTransaction(DbConnection& connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    bool inTransaction() const { return transaction_ != nullptr; }
    void startTransaction();   // throws DbError
    void commitRetaining();    // throws DbError
    void rollbackRetaining();  // throws DbError
    Transaction& transaction(); // throws DbError when not active

private:
    DbConnection& connection_;
    std::unique_ptr<Transaction> transaction_;
};

} // namespace norvel::db
