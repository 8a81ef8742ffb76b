#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGINT and SIGTERM into a clean stop of the event loop, so that the
// control socket and the pseudo-terminal link are removed on the way out.
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

signals:
    void signalled(int number);

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};
