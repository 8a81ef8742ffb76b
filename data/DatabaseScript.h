#pragma once

#include <QString>
#include <QStringList>

namespace norvel::db {

// The fixed connection settings of "base.fdb": user, password, character set.
QStringList baseConnectionParams();

// The creation script (base.sql, compiled in) in isql form.
const char* creationScript();

// The script's statements, split at the terminator in force (SET TERM is
// followed, comments are dropped, SET SQL DIALECT and COMMIT are left out).
QStringList scriptStatements(const QString& script);

// Creates the database file at path from the creation script through the
// embedded engine, or on a server for a server name ("host:path",
// "host/port:path", with that server's user and password in params)
// (dialect 3, default character set ISO8859_1). The script
// runs with forced writes off; a durable database has them switched on at the
// end (every commit then reaches the disk), a scratch one keeps them off.
// Refuses (DbError) when the file exists; a failed creation leaves no file.
enum class Durability { Durable, Scratch };
void createDatabase(const QString& path, Durability durability = Durability::Durable,
                    const QStringList& params = baseConnectionParams());

} // namespace norvel::db
