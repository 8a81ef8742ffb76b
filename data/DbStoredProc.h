#pragma once

#include <QHash>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace norvel::db {

class DbConnection;
class DbTransaction;
class Statement;

// One stored procedure, called as EXECUTE PROCEDURE with its inputs by
// position. The parameter lists are read from the database at the first call,
// so inputs are set by name in any order; every input must have been given a
// value (an invalid QVariant is NULL) before execute(). Values stay set between
// calls. Text goes out as Latin-1: a character Latin-1 cannot hold makes
// execute() throw before anything reaches the database.
class DbStoredProc {
public:
    DbStoredProc(QString name, DbConnection& connection, DbTransaction& transaction, QString procedureName);
    ~DbStoredProc();
    DbStoredProc(const DbStoredProc&) = delete;
    DbStoredProc& operator=(const DbStoredProc&) = delete;

    const QString& name() const { return name_; }
    const QString& procedureName() const { return procedureName_; }

    void setParam(const QString& input, const QVariant& value);
    void clearParams();
    // Runs the procedure in the transaction (started when not active). Throws DbError.
    void execute();
    // An output of the last successful call, by name; throws DbError when unknown.
    QVariant output(const QString& name) const;

    // Declared inputs and outputs as the database holds them (connects the
    // lists on first use).
    QStringList inputNames();
    QStringList outputNames();

private:
    // Prepares on the current attachment unless already prepared there.
    void prepare();
    void prepareStatement();

    QString name_;
    DbConnection& connection_;
    DbTransaction& transaction_;
    QString procedureName_;
    QStringList inputs_;
    QStringList outputs_;
    QHash<QString, QVariant> values_;
    QVariantList results_;
    std::unique_ptr<Statement> statement_;
    unsigned generation_ = 0; // of the attachment statement_ was prepared on
};

} // namespace norvel::db
