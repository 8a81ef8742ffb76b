#pragma once

#include "ModemLines.h"
#include "Rfc2217Session.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

// Serves the printer as a network serial port (RFC 2217) on a loopback
// address, to one client at a time. A client that connects while another is
// still attached waits a moment (the earlier job may be closing) and is
// turned away if the port does not come free.
class Rfc2217Server : public QObject {
    Q_OBJECT
public:
    Rfc2217Server(ModemLines lines, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const { return server_.serverPort(); }
    QString url() const;

    static constexpr int kWaitForPortMs = 2000;

public slots:
    void setLines(ModemLines lines);

signals:
    void dataReceived(const QByteArray& bytes);
    void note(const QString& text);

private:
    void onNewConnection();
    void attach(QTcpSocket* socket);
    void onReadyRead();
    void onDisconnected();
    void expireWaiting(QTcpSocket* socket);

    QTcpServer server_;
    ModemLines lines_;
    QPointer<QTcpSocket> client_;
    QString clientName_;
    std::unique_ptr<Rfc2217Session> session_;
    QList<QPointer<QTcpSocket>> waiting_;
};
