#pragma once

#include <QString>

#include <stdexcept>

namespace norvel::db {

// The one error type of the data layer. Every Firebird failure is turned into
// it at the edge of the client layer, so callers compare sqlCode() with plain
// numbers (-530: the row is still referred to by a foreign key).
class DbError : public std::runtime_error {
public:
    DbError(QString message, int sqlCode = 0, QString sqlState = {}, bool connectionLost = false);

    // The database's text (or ours, for checks made before the call).
    const QString& message() const { return message_; }
    int sqlCode() const { return sqlCode_; }
    const QString& sqlState() const { return sqlState_; }
    // The connection itself is gone (network, server stopped, database or
    // attachment shut down): the next call has to attach anew.
    bool connectionLost() const { return connectionLost_; }

    static constexpr int ForeignKeyViolation = -530;

private:
    QString message_;
    int sqlCode_;
    QString sqlState_;
    bool connectionLost_;
};

} // namespace norvel::db
