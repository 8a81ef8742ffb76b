#include "ControlServer.h"

#include "ControlCommands.h"

#include <QFile>
#include <QLocalSocket>
#include <QTcpSocket>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr qsizetype kLineLimit = 1024;

} // namespace

ControlServer::ControlServer(ControlCommands& commands, QObject* parent)
    : QObject(parent)
    , commands_(commands)
{
    connect(&local_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = local_.nextPendingConnection())
            serve(socket);
    });
    connect(&tcp_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = tcp_.nextPendingConnection())
            serve(socket);
    });
}

ControlServer::~ControlServer()
{
    local_.close();
}

bool ControlServer::listenLocal(const QString& path, QString* error)
{
    // A socket file left by a printer that did not stop cleanly is taken over.
    QLocalServer::removeServer(path);
    local_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!local_.listen(path)) {
        *error = local_.errorString();
        return false;
    }
    return true;
}

bool ControlServer::listenTcp(quint16 port, QString* error)
{
    if (!tcp_.listen(QHostAddress::LocalHost, port)) {
        *error = tcp_.errorString();
        return false;
    }
    return true;
}

void ControlServer::readStandardInput()
{
    stdin_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(stdin_.get(), &QSocketNotifier::activated, this, &ControlServer::onStandardInput);
}

void ControlServer::serve(QIODevice* connection)
{
    connect(connection, &QIODevice::readyRead, connection, [this, connection] {
        while (connection->canReadLine()) {
            const QByteArray reply = run(connection->readLine()).toUtf8() + '\n';
            connection->write(reply);
        }
        if (connection->bytesAvailable() > kLineLimit) {
            connection->write("error line too long\n");
            connection->readAll();
        }
    });
    if (auto* local = qobject_cast<QLocalSocket*>(connection))
        connect(local, &QLocalSocket::disconnected, local, &QObject::deleteLater);
    else if (auto* tcp = qobject_cast<QTcpSocket*>(connection))
        connect(tcp, &QTcpSocket::disconnected, tcp, &QObject::deleteLater);
}

QString ControlServer::run(const QByteArray& line)
{
    const QString command = QString::fromUtf8(line).trimmed();
    const QString reply = commands_.execute(command);
    emit note(QStringLiteral("control: %1 -> %2").arg(command, reply));
    return reply;
}

void ControlServer::onStandardInput()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input: the printer goes on, controlled by its sockets.
        stdin_->setEnabled(false);
        return;
    }
    stdinBuffer_.append(buffer, n);
    qsizetype end;
    while ((end = stdinBuffer_.indexOf('\n')) >= 0) {
        const QByteArray line = stdinBuffer_.left(end);
        stdinBuffer_.remove(0, end + 1);
        if (line.trimmed().isEmpty())
            continue;
        const QByteArray reply = run(line).toUtf8() + '\n';
        std::fwrite(reply.constData(), 1, static_cast<std::size_t>(reply.size()), stdout);
        std::fflush(stdout);
    }
    if (stdinBuffer_.size() > kLineLimit)
        stdinBuffer_.clear();
}
