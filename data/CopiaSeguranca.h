#pragma once

// The register's safe copies, made with Firebird's own backup tool (gbak, run
// as a child process) while programs work on it: one a day, in the user's data
// folder, each read back before the oldest is let go.
//
// gbak rather than the services API: run as a client it writes the copy of a
// server's register on this machine (a service writes it on the server's
// disk), it takes the program's lock directory from its environment like any
// other tool on the embedded file, and a tool that hangs or fails ends in a
// process of its own, which the program may stop.

#include <QString>
#include <QStringList>

namespace norvel::db {

// The copies kept: the newest ones by the date in their names.
constexpr int CopiasGuardadas = 14;

// The folder of the copies, <user's data folder>/copias.
QString pastaCopias();

struct CopiaDoDia {
    enum class Resultado {
        Feita,       // made, read back and named; the oldest past CopiasGuardadas dropped
        JaExistia,   // today's copy was there already
        EmAndamento, // another program of this user is making it at the moment
        Falhou,      // nothing changed among the copies; mensagem says why
    };
    Resultado resultado;
    QString arquivo;  // today's copy, made or found
    QString mensagem; // Portuguese, for the user, when it failed
};

// Today's copy ("norvelcheque-AAAA-MM-DD.fbk", so names sort by date) of the
// register databaseName, a file of the embedded engine or "host[/port]:path"
// on a server reached with the user_name and password of params, into pasta.
// The copy is made and restored to a scratch file that gfix validates whole,
// all in a hidden folder of pasta, and only then takes its name: a failure or
// an interruption leaves no partial copy among the others. Never throws.
CopiaDoDia fazCopiaDoDia(const QString& databaseName, const QStringList& params, const QString& pasta);

// Restores the copy into destino, a new file of the embedded engine: read
// back, validated whole, checked to hold the register's tables and given
// forced writes, before it takes the name, which it never takes over an
// existing file. Throws DbError (in Portuguese); a failure leaves no destino.
void restauraCopia(const QString& copia, const QString& destino);

} // namespace norvel::db
