#pragma once

#include <QString>
#include <QStringList>

namespace norvel::db {

// Where the register lives: the embedded base.fdb (in
// TdmNorvelCheque::databaseDirectory(), opened by the engine inside the
// program) or a database on a Firebird server, named "host:path" or
// "host/port:path" and reached with a user and password of that server.
class LocalBase {
public:
    // The embedded file.
    LocalBase() = default;

    // A server database. Throws DbError, in Portuguese, for a name that
    // names no server or a missing user or password.
    static LocalBase servidor(const QString& nome, const QString& usuario, const QString& senha);

    // From the settings: "BaseDados" empty is the embedded file, otherwise a
    // server name with "Usuario" and "Senha". A password is taken only from
    // a file of this user that nobody else can read (mode 0600): otherwise
    // DbError says so and how to fix it, and nothing is connected.
    static LocalBase daConfiguracao(const QString& arquivo, const QString& baseDados, const QString& usuario,
                                    const QString& senha);

    bool noServidor() const { return !nome_.isEmpty(); }
    // The server's name ("host:path", "host/port:path"); empty when embedded.
    const QString& nome() const { return nome_; }
    // user_name, password and lc_ctype for the server.
    QStringList parametros() const;

    // Whether a database name goes to a server: "host:path" or
    // "host/port:path". An embedded file is always an absolute path.
    static bool ehNomeDeServidor(const QString& nome);
    // The "host" or "host/port" of a server name.
    static QString servidorDoNome(const QString& nome);

private:
    QString nome_;
    QString usuario_;
    QString senha_;
};

} // namespace norvel::db
