#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A small RFC 2217 access server on 127.0.0.1 for the tests: it answers the
// telnet negotiation and the COM port commands and records, in order, what
// the client sent. One client at a time; a new connection replaces the old.
class FakeRfc2217Server {
public:
    struct Options {
        bool acceptComPort = true;
        bool answer = true;           // false: accept the connection, then stay silent
        bool reportModemState = true; // send NOTIFY-MODEMSTATE on SET-MODEMSTATE-MASK
        bool ackPurge = true;
        std::uint8_t modemState = 0x30; // DSR and CTS on
        // Non-zero: once this many bytes have come on a connection the
        // server closes it, as a printer killed at that point would; bytes
        // sent after them make the close a reset.
        std::size_t dieAfter = 0;
    };

    struct Event {
        enum Kind { Negotiation, Command, Data } kind;
        std::uint8_t code; // telnet verb, or COM port command
        std::string bytes; // option, command value (unescaped), or data
    };

    FakeRfc2217Server();
    explicit FakeRfc2217Server(Options options);
    ~FakeRfc2217Server();
    FakeRfc2217Server(const FakeRfc2217Server &) = delete;
    FakeRfc2217Server &operator=(const FakeRfc2217Server &) = delete;

    std::string url() const; // rfc2217://127.0.0.1:<port>

    std::vector<Event> events();
    std::string data();  // all data received, unescaped
    std::string raw();   // every byte as it came over the socket
    std::vector<std::string> commandValues(std::uint8_t command);
    // Waits until at least count data bytes have come; returns all data.
    std::string waitForData(std::size_t count, int timeoutMs = 2000);
    bool waitForCommand(std::uint8_t command, std::size_t occurrences, int timeoutMs = 2000);
    void clearLog();

    void sendData(const std::string &bytes); // escaped as telnet data
    void sendRaw(const std::string &bytes);
    void setModemState(std::uint8_t state); // notifies the client
    void dropClient();

private:
    void run();
    void feed(const unsigned char *bytes, std::size_t length);
    void onNegotiation(std::uint8_t verb, std::uint8_t option);
    void onCommand(std::uint8_t command, const std::string &value);
    void reply(const std::string &bytes);
    void record(Event::Kind kind, std::uint8_t code, const std::string &bytes);

    Options options_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int client_ = -1;
    std::uint16_t port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Event> events_;
    std::string raw_;
    // parser state
    int state_ = 0;
    std::size_t received_ = 0; // bytes of the current connection
    std::uint8_t verb_ = 0;
    std::string sb_;
    std::thread thread_;
};

std::string subnegotiation(std::uint8_t command, const std::string &value); // IAC SB 44 ... IAC SE, escaped
