#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGINT and SIGTERM into a signal on the event loop, so that a program
// stopped by the system (a session ending, kill) still closes its files and
// links on the way out. The two signals are held back from every thread and
// read from a signalfd: no handler runs and no system call of a library is
// interrupted (the embedded database engine hangs at detach after one was).
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    // Holds SIGINT and SIGTERM back in the calling thread and in every thread
    // started from it later; processes it forks get them back. Call it first
    // in main(), before any thread starts.
    static void holdSignals();

    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

signals:
    void signalled(int number);

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
