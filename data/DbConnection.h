#pragma once

#include "DbError.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace norvel::db {

class Attachment;
class Transaction;

// The database connection: a file opened through the embedded engine, or a
// database on a server ("host:path", "host/port:path", see LocalBase.h),
// with its parameters ("user_name=...", "password=...", "lc_ctype=...").
//
// A connection that is lost (server stopped, network cut) is dropped where
// the error shows, and the next call attaches anew: each attachment has a
// generation, and statements and transactions of an earlier one are stale and
// made again by their owners.
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
    // Attaches when not connected (a failed start, a lost connection).
    // Throws DbError when that fails or no database is named.
    Attachment& attachment();
    // Counts the attachments made: what was made on another one is stale.
    unsigned generation() const { return generation_; }
    bool isCurrent(unsigned generation) const { return connected() && generation == generation_; }

    // Runs f(); an error that lost the connection drops the attachment and
    // is thrown again, in Portuguese, naming the server or the file.
    template <typename F>
    decltype(auto) guarded(F&& f)
    {
        try {
            return f();
        } catch (const DbError& e) {
            if (!e.connectionLost())
                throw;
            throw lost(e);
        }
    }

private:
    DbError lost(const DbError& e);

    std::unique_ptr<Attachment> attachment_;
    // Lost attachments outlive the statements and transactions made on
    // them, which the client library cannot free after them.
    std::vector<std::unique_ptr<Attachment>> lost_;
    unsigned generation_ = 0;
};

// The one transaction. Commit and rollback both retain the context, so
// cursors opened in it stay open.
class DbTransaction {
public:
    explicit DbTransaction(DbConnection& connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    // Active on the connection's current attachment.
    bool inTransaction() const { return transaction_ && connection_.isCurrent(generation_); }
    // Starts one when not active, dropping one left on a lost attachment.
    void startTransaction();   // throws DbError
    void commitRetaining();    // throws DbError
    void rollbackRetaining();  // throws DbError
    Transaction& transaction(); // throws DbError when not active

private:
    DbConnection& connection_;
    std::unique_ptr<Transaction> transaction_;
    unsigned generation_ = 0;
};

} // namespace norvel::db
