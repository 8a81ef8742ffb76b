#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Firebird 3 server run by a test as an ordinary process, all of it in a
// scratch folder: its root (a copy of the system's, configuration files as
// real files, never the links into /etc), its security database with SYSDBA
// made first through isql-fb in embedded mode, its lock and temporary
// folders, and its databases. It listens on 127.0.0.1 at a free port and is
// stopped (and its folder removed) when the object dies; it dies with the
// test process, a crashed one included. Throws std::runtime_error when it
// cannot be set up or started: a machine without the server binary fails
// the test, it never passes as skipped.
//
// The binary is NORVEL_FIREBIRD_SERVER (tools/install-deps.sh unpacks
// Debian's firebird3.0-server into the project's .deps folder).
class ServidorFirebird {
public:
    ServidorFirebird();
    ~ServidorFirebird();
    ServidorFirebird(const ServidorFirebird&) = delete;
    ServidorFirebird& operator=(const ServidorFirebird&) = delete;

    // Starts it again after stop(), on the same port and databases.
    void start();
    // Stops it at once, as a crash or a power cut would (SIGKILL): the
    // clients' connections are cut.
    void stop();

    // "127.0.0.1/<port>", the server as a database name names it.
    QString host() const;
    // "127.0.0.1/<port>:<folder>/<arquivo>", a database in its folder.
    QString nome(const QString& arquivo) const;
    static QString usuario() { return QStringLiteral("SYSDBA"); }
    static QString senha() { return QStringLiteral("norvel-teste"); }

private:
    QTemporaryDir pasta_;
    quint16 porta_ = 0;
    QProcess processo_;
};
