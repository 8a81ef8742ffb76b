#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

// A pseudo-terminal whose far end a program opens as the printer's serial
// device. Bytes only: a pseudo-terminal has no modem lines to report.
class PtyPort : public QObject {
    Q_OBJECT
public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    // Opens the pair; with a link path, also makes a symbolic link to the
    // device (replacing an old link, never another kind of file).
    bool open(const QString& linkPath, QString* error);
    const QString& path() const { return path_; }

signals:
    void dataReceived(const QByteArray& bytes);

private:
    void onReadable();

    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QString link_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
