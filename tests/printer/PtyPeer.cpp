#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

PtyPeer::PtyPeer()
{
    char name[256];
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slavePath_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer()
{
    closeMaster();
    close(slave_);
}

void PtyPeer::send(const std::string &bytes)
{
    if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("pty write failed");
}

std::string PtyPeer::receive(std::size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string got;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            break;
        pollfd pfd{master_, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buf[1024];
        const ssize_t n = read(master_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0)
            got.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

std::string PtyPeer::receiveAll(int quietMs)
{
    std::string got;
    for (;;) {
        pollfd pfd{master_, POLLIN, 0};
        if (poll(&pfd, 1, quietMs) <= 0)
            return got;
        char buf[1024];
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0)
            return got;
        got.append(buf, static_cast<std::size_t>(n));
    }
}

void PtyPeer::closeMaster()
{
    if (master_ >= 0)
        close(master_);
    master_ = -1;
}
