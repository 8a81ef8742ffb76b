#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A hostile RFC 2217 peer on 127.0.0.1 for one client: it may answer the
// opening (COM port accepted, DSR and CTS on), then sends `flood` over and
// over for `seconds`, and reads nothing unless told to.
class FloodingServer {
public:
    struct Options {
        bool answerOpen = true;
        std::string flood;   // empty: send nothing after the answer
        int seconds = 30;
        bool readInput = false;
    };

    explicit FloodingServer(Options options);
    ~FloodingServer();
    FloodingServer(const FloodingServer &) = delete;
    FloodingServer &operator=(const FloodingServer &) = delete;

    std::string url() const;

private:
    void run();

    Options options_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
