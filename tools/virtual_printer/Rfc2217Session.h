#pragma once

#include "ModemLines.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The device-server side of one Telnet connection with the COM Port Control
// option (RFC 2217), free of any socket: bytes from the client go in, data
// for the printer and replies for the client come out.
class Rfc2217Session {
public:
    struct Output {
        std::string toDevice; // data bytes, IAC escapes removed
        std::string toClient; // negotiation and option replies, escaped
        std::vector<std::string> notes; // what the client asked, for the log
    };

    struct LineSettings {
        std::uint32_t baud = 9600;
        std::uint8_t dataSize = 8;
        std::uint8_t parity = 1;   // 1 none, 2 odd, 3 even, 4 mark, 5 space
        std::uint8_t stopSize = 2; // 1 one, 2 two, 3 one and a half
        std::uint8_t outboundFlow = 1; // 1 none, 2 XON/XOFF, 3 hardware, 17-19
        std::uint8_t inboundFlow = 14; // 14 none, 15 XON/XOFF, 16 hardware
        bool breakOn = false;
        bool dtr = false;
        bool rts = false;
    };

    explicit Rfc2217Session(ModemLines lines);

    Output receive(std::string_view bytes);

    // Bytes to send when the printer's lines change: a NOTIFY-MODEMSTATE if
    // the client speaks the option and a changed line is in its mask.
    std::string linesChanged(ModemLines lines);

    const LineSettings& settings() const { return settings_; }
    bool comPortActive() const { return local_[kComPort] || remote_[kComPort]; }
    std::uint8_t modemStateMask() const { return modemMask_; }

    static constexpr std::uint8_t kComPort = 44;
    static constexpr const char* kSignature = "Norvel virtual cheque printer";

private:
    enum class State { Data, Iac, Negotiate, Sub, SubIac };

    void negotiate(std::uint8_t command, std::uint8_t option, Output& out);
    void subnegotiation(Output& out);
    void comPortCommand(std::uint8_t command, std::string_view value, Output& out);
    std::uint8_t setControl(std::uint8_t value, Output& out);
    void reply(std::uint8_t command, std::string_view value, Output& out) const;
    void notifyModemState(bool force, std::string& out);
    std::uint8_t modemState() const;

    State state_ = State::Data;
    std::uint8_t command_ = 0;
    std::string sub_;
    std::array<bool, 256> local_{};  // options we perform (we WILL)
    std::array<bool, 256> remote_{}; // options the client performs (it WILL)
    LineSettings settings_;
    ModemLines lines_;
    std::uint8_t lastState_ = 0; // line bits of the last notification
    std::uint8_t modemMask_ = 0xFF;
    std::uint8_t lineMask_ = 0;
};

// Doubles every IAC (0xFF) byte.
std::string telnetEscape(std::string_view bytes);
