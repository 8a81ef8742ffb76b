#include "QuitOnSignal.h"

#include <csignal>
#include <mutex>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t stopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// A forked child (a document viewer the program starts) must stop on the
// signals as any program does.
void releaseInChild()
{
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace

void QuitOnSignal::holdSignals()
{
    static std::once_flag childRelease;
    std::call_once(childRelease, [] { pthread_atfork(nullptr, nullptr, releaseInChild); });
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

QuitOnSignal::QuitOnSignal(QObject* parent)
    : QObject(parent)
{
    holdSignals();
    const sigset_t set = stopSignals();
    fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd_ < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info;
        if (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            emit signalled(static_cast<int>(info.ssi_signo));
    });
}

// The signals stay held: the program is on its way out.
QuitOnSignal::~QuitOnSignal()
{
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}
