#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QLocalServer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTcpServer>

#include <memory>

class ControlCommands;

// Takes control commands, one per line, from a Unix socket, a loopback TCP
// port and/or standard input, and answers each with one line.
class ControlServer : public QObject {
    Q_OBJECT
public:
    ControlServer(ControlCommands& commands, QObject* parent = nullptr);
    ~ControlServer() override;

    bool listenLocal(const QString& path, QString* error);
    bool listenTcp(quint16 port, QString* error);
    quint16 tcpPort() const { return tcp_.serverPort(); }
    // Commands on standard input, answered on standard output.
    void readStandardInput();

signals:
    void note(const QString& text);

private:
    void serve(QIODevice* connection);
    QString run(const QByteArray& line);
    void onStandardInput();

    ControlCommands& commands_;
    QLocalServer local_;
    QTcpServer tcp_;
    std::unique_ptr<QSocketNotifier> stdin_;
    QByteArray stdinBuffer_;
};
