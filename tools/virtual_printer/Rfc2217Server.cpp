#include "Rfc2217Server.h"

#include <QTimer>

namespace {

QString peerOf(const QTcpSocket* socket)
{
    return QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
}

} // namespace

Rfc2217Server::Rfc2217Server(ModemLines lines, QObject* parent)
    : QObject(parent)
    , lines_(lines)
{
    connect(&server_, &QTcpServer::newConnection, this, &Rfc2217Server::onNewConnection);
}

bool Rfc2217Server::listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (!server_.listen(address, port)) {
        *error = server_.errorString();
        return false;
    }
    return true;
}

QString Rfc2217Server::url() const
{
    return QStringLiteral("rfc2217://%1:%2").arg(server_.serverAddress().toString()).arg(server_.serverPort());
}

void Rfc2217Server::setLines(ModemLines lines)
{
    lines_ = lines;
    if (!client_ || !session_)
        return;
    const std::string bytes = session_->linesChanged(lines);
    if (!bytes.empty())
        client_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void Rfc2217Server::onNewConnection()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (!client_) {
            attach(socket);
            continue;
        }
        emit note(QStringLiteral("link: %1 waits, the port is in use").arg(peerOf(socket)));
        waiting_.append(socket);
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(kWaitForPortMs, this, [this, guard] {
            if (guard)
                expireWaiting(guard);
        });
        // A waiting client that gives up leaves the queue.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void Rfc2217Server::attach(QTcpSocket* socket)
{
    client_ = socket;
    clientName_ = peerOf(socket);
    session_ = std::make_unique<Rfc2217Session>(lines_);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    disconnect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, &Rfc2217Server::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &Rfc2217Server::onDisconnected);
    emit note(QStringLiteral("link: client %1 connected").arg(clientName_));
    if (socket->bytesAvailable() > 0)
        onReadyRead();
}

void Rfc2217Server::onReadyRead()
{
    if (!client_ || !session_)
        return;
    const QByteArray bytes = client_->readAll();
    const Rfc2217Session::Output out = session_->receive(std::string_view(bytes.constData(), bytes.size()));
    if (!out.toClient.empty())
        client_->write(out.toClient.data(), static_cast<qint64>(out.toClient.size()));
    for (const std::string& text : out.notes)
        emit note(QString::fromStdString(text));
    if (!out.toDevice.empty())
        emit dataReceived(QByteArray(out.toDevice.data(), static_cast<qsizetype>(out.toDevice.size())));
}

void Rfc2217Server::onDisconnected()
{
    QTcpSocket* socket = client_;
    if (!socket)
        return;
    // Bytes that arrived together with the close still belong to the job;
    // a socket closed by an error has none left to read.
    if (socket->isReadable())
        onReadyRead();
    emit note(QStringLiteral("link: client %1 disconnected").arg(clientName_));
    socket->disconnect(this);
    socket->deleteLater();
    client_.clear();
    session_.reset();
    while (!waiting_.isEmpty()) {
        QPointer<QTcpSocket> next = waiting_.takeFirst();
        if (next && next->state() == QAbstractSocket::ConnectedState) {
            attach(next);
            return;
        }
    }
}

void Rfc2217Server::expireWaiting(QTcpSocket* socket)
{
    if (!waiting_.removeOne(socket))
        return;
    emit note(QStringLiteral("link: %1 turned away, the port is in use").arg(peerOf(socket)));
    socket->disconnectFromHost();
    socket->deleteLater();
}
