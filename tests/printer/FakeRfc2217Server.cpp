#include "FakeRfc2217Server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

constexpr std::uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250,
                       SE = 240;
constexpr std::uint8_t COM_PORT = 44, SET_MODEMSTATE_MASK = 11, PURGE_DATA = 12,
                       NOTIFY_MODEMSTATE = 107, ECHO = 1;

enum { Data, Iac, Verb, Sub, SubIac };

std::string escape(const std::string &bytes)
{
    std::string out;
    for (const char c : bytes) {
        out += c;
        if (static_cast<std::uint8_t>(c) == IAC)
            out += c;
    }
    return out;
}

std::string bytes(std::initializer_list<std::uint8_t> list)
{
    return std::string(list.begin(), list.end());
}

} // namespace

std::string subnegotiation(std::uint8_t command, const std::string &value)
{
    return bytes({IAC, SB, COM_PORT, command}) + escape(value) + bytes({IAC, SE});
}

FakeRfc2217Server::FakeRfc2217Server() : FakeRfc2217Server(Options{}) {}

FakeRfc2217Server::FakeRfc2217Server(Options options) : options_(options)
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    if (bind(listener_, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || listen(listener_, 4) != 0
        || getsockname(listener_, reinterpret_cast<sockaddr *>(&addr), &size) != 0
        || pipe(wake_) != 0)
        throw std::runtime_error("fake server set-up failed");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

FakeRfc2217Server::~FakeRfc2217Server()
{
    const char stop = 0;
    (void)!write(wake_[1], &stop, 1);
    thread_.join();
    if (client_ >= 0)
        close(client_);
    close(listener_);
    close(wake_[0]);
    close(wake_[1]);
}

std::string FakeRfc2217Server::url() const
{
    return "rfc2217://127.0.0.1:" + std::to_string(port_);
}

void FakeRfc2217Server::run()
{
    for (;;) {
        int client;
        {
            std::lock_guard lock(mutex_);
            client = client_;
        }
        pollfd fds[3] = {{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}, {client, POLLIN, 0}};
        if (poll(fds, client >= 0 ? 3 : 2, -1) < 0)
            continue;
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            std::lock_guard lock(mutex_);
            if (client_ >= 0)
                close(client_);
            client_ = fd;
            state_ = Data;
            received_ = 0;
            if (options_.answer) {
                // Offer something the client never asked for: it must refuse.
                const std::string offer = bytes({IAC, WILL, ECHO});
                (void)!::send(client_, offer.data(), offer.size(), MSG_NOSIGNAL);
            }
            continue;
        }
        if (client >= 0 && fds[2].revents) {
            unsigned char buf[4096];
            std::size_t room = sizeof buf;
            {
                std::lock_guard lock(mutex_);
                if (options_.dieAfter)
                    room = std::min(room, options_.dieAfter - received_);
            }
            const ssize_t n = recv(client, buf, room, 0);
            std::lock_guard lock(mutex_);
            if (n <= 0) {
                if (client_ == client) {
                    close(client_);
                    client_ = -1;
                }
                changed_.notify_all();
                continue;
            }
            raw_.append(reinterpret_cast<char *>(buf), static_cast<std::size_t>(n));
            received_ += static_cast<std::size_t>(n);
            feed(buf, static_cast<std::size_t>(n));
            if (options_.dieAfter && received_ == options_.dieAfter) {
                close(client_);
                client_ = -1;
            }
            changed_.notify_all();
        }
    }
}

// Called with the mutex held.
void FakeRfc2217Server::feed(const unsigned char *in, std::size_t length)
{
    for (std::size_t i = 0; i < length; i++) {
        const std::uint8_t b = in[i];
        switch (state_) {
        case Data:
            if (b == IAC)
                state_ = Iac;
            else
                record(Event::Data, 0, std::string(1, static_cast<char>(b)));
            break;
        case Iac:
            if (b == IAC) {
                record(Event::Data, 0, std::string(1, static_cast<char>(b)));
                state_ = Data;
            } else if (b >= WILL && b <= DONT) {
                verb_ = b;
                state_ = Verb;
            } else if (b == SB) {
                sb_.clear();
                state_ = Sub;
            } else {
                state_ = Data;
            }
            break;
        case Verb:
            onNegotiation(verb_, b);
            state_ = Data;
            break;
        case Sub:
            if (b == IAC)
                state_ = SubIac;
            else
                sb_ += static_cast<char>(b);
            break;
        case SubIac:
            if (b == IAC) {
                sb_ += static_cast<char>(b);
                state_ = Sub;
            } else {
                if (b == SE && sb_.size() >= 2 && static_cast<std::uint8_t>(sb_[0]) == COM_PORT)
                    onCommand(static_cast<std::uint8_t>(sb_[1]), sb_.substr(2));
                state_ = Data;
            }
            break;
        }
    }
}

void FakeRfc2217Server::record(Event::Kind kind, std::uint8_t code, const std::string &b)
{
    if (kind == Event::Data && !events_.empty() && events_.back().kind == Event::Data)
        events_.back().bytes += b;
    else
        events_.push_back({kind, code, b});
}

void FakeRfc2217Server::onNegotiation(std::uint8_t verb, std::uint8_t option)
{
    record(Event::Negotiation, verb, std::string(1, static_cast<char>(option)));
    if (!options_.answer)
        return;
    if (verb == WILL) {
        const bool yes = option != COM_PORT || options_.acceptComPort;
        reply(bytes({IAC, yes ? DO : DONT, option}));
        // As device servers do, the lines are reported as soon as the client
        // can read them, and again when it sets its mask.
        if (option == COM_PORT && yes && options_.reportModemState)
            reply(subnegotiation(NOTIFY_MODEMSTATE, std::string(1, static_cast<char>(options_.modemState))));
    } else if (verb == DO && option != ECHO) {
        reply(bytes({IAC, WILL, option}));
    }
}

void FakeRfc2217Server::onCommand(std::uint8_t command, const std::string &value)
{
    record(Event::Command, command, value);
    if (!options_.answer)
        return;
    if (command == PURGE_DATA && !options_.ackPurge)
        return;
    reply(subnegotiation(static_cast<std::uint8_t>(command + 100), value));
    if (command == SET_MODEMSTATE_MASK && options_.reportModemState)
        reply(subnegotiation(NOTIFY_MODEMSTATE, std::string(1, static_cast<char>(options_.modemState))));
}

// Called with the mutex held.
void FakeRfc2217Server::reply(const std::string &b)
{
    if (client_ >= 0)
        (void)!::send(client_, b.data(), b.size(), MSG_NOSIGNAL);
}

std::vector<FakeRfc2217Server::Event> FakeRfc2217Server::events()
{
    std::lock_guard lock(mutex_);
    return events_;
}

std::string FakeRfc2217Server::data()
{
    std::lock_guard lock(mutex_);
    std::string all;
    for (const auto &e : events_)
        if (e.kind == Event::Data)
            all += e.bytes;
    return all;
}

std::string FakeRfc2217Server::raw()
{
    std::lock_guard lock(mutex_);
    return raw_;
}

std::vector<std::string> FakeRfc2217Server::commandValues(std::uint8_t command)
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> values;
    for (const auto &e : events_)
        if (e.kind == Event::Command && e.code == command)
            values.push_back(e.bytes);
    return values;
}

std::string FakeRfc2217Server::waitForData(std::size_t count, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::string all = data();
        if (all.size() >= count || std::chrono::steady_clock::now() >= end)
            return all;
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(20));
    }
}

bool FakeRfc2217Server::waitForCommand(std::uint8_t command, std::size_t occurrences, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (commandValues(command).size() < occurrences) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

void FakeRfc2217Server::clearLog()
{
    std::lock_guard lock(mutex_);
    events_.clear();
    raw_.clear();
}

void FakeRfc2217Server::sendData(const std::string &b)
{
    sendRaw(escape(b));
}

void FakeRfc2217Server::sendRaw(const std::string &b)
{
    std::lock_guard lock(mutex_);
    reply(b);
}

void FakeRfc2217Server::setModemState(std::uint8_t state)
{
    std::lock_guard lock(mutex_);
    options_.modemState = state;
    reply(subnegotiation(NOTIFY_MODEMSTATE, std::string(1, static_cast<char>(state))));
}

void FakeRfc2217Server::dropClient()
{
    std::lock_guard lock(mutex_);
    if (client_ >= 0) {
        shutdown(client_, SHUT_RDWR);
    }
}
