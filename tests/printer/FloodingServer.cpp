#include "FloodingServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

FloodingServer::FloodingServer(Options options) : options_(std::move(options))
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    if (bind(listener_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || listen(listener_, 1) != 0
        || getsockname(listener_, reinterpret_cast<sockaddr *>(&addr), &size) != 0)
        throw std::runtime_error("flooding server set-up failed");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

FloodingServer::~FloodingServer()
{
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string FloodingServer::url() const
{
    return "rfc2217://127.0.0.1:" + std::to_string(port_);
}

void FloodingServer::run()
{
    using Clock = std::chrono::steady_clock;
    pollfd accepting{listener_, POLLIN, 0};
    while (!stop_ && poll(&accepting, 1, 50) <= 0) {
    }
    if (stop_)
        return;
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return;
    if (options_.answerOpen) {
        // DO COM-PORT, then NOTIFY-MODEMSTATE with DSR and CTS on.
        const unsigned char answer[] = {255, 253, 44, 255, 250, 44, 107, 0x30, 255, 240};
        (void)!send(client, answer, sizeof answer, MSG_NOSIGNAL);
    }
    std::string chunk;
    while (!options_.flood.empty() && chunk.size() < 16384)
        chunk += options_.flood;
    const auto end = Clock::now() + std::chrono::seconds(options_.seconds);
    while (!stop_ && Clock::now() < end) {
        pollfd fd{client, static_cast<short>((chunk.empty() ? 0 : POLLOUT)
                                             | (options_.readInput ? POLLIN : 0)), 0};
        if (poll(&fd, 1, 50) <= 0)
            continue;
        if (fd.revents & POLLIN) {
            char sink[65536];
            if (recv(client, sink, sizeof sink, MSG_DONTWAIT) == 0)
                break;
        }
        if ((fd.revents & POLLOUT)
            && send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0
            && errno != EAGAIN)
            break;
        if (fd.revents & (POLLERR | POLLHUP))
            break;
    }
    close(client);
}
