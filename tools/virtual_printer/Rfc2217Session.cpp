#include "Rfc2217Session.h"

namespace {

constexpr std::uint8_t IAC = 255;
constexpr std::uint8_t DONT = 254;
constexpr std::uint8_t DO = 253;
constexpr std::uint8_t WONT = 252;
constexpr std::uint8_t WILL = 251;
constexpr std::uint8_t SB = 250;
constexpr std::uint8_t SE = 240;

constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kSuppressGoAhead = 3;

// COM Port Control commands, client to server; the server answers each with
// the command plus 100.
enum : std::uint8_t {
    Signature = 0,
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    NotifyLineState = 6,
    NotifyModemState = 7,
    FlowControlSuspend = 8,
    FlowControlResume = 9,
    SetLineStateMask = 10,
    SetModemStateMask = 11,
    PurgeData = 12,
    ServerOffset = 100,
};

constexpr std::uint8_t kCd = 0x80;
constexpr std::uint8_t kRi = 0x40;
constexpr std::uint8_t kDsr = 0x20;
constexpr std::uint8_t kCts = 0x10;

constexpr std::size_t kSubLimit = 512;

bool supported(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == Rfc2217Session::kComPort;
}

std::string optionName(std::uint8_t option)
{
    switch (option) {
    case kBinary:
        return "BINARY";
    case kSuppressGoAhead:
        return "SUPPRESS-GO-AHEAD";
    case Rfc2217Session::kComPort:
        return "COM-PORT-OPTION";
    default:
        return "option " + std::to_string(option);
    }
}

const char* parityName(std::uint8_t parity)
{
    static const char* names[] = {"?", "none", "odd", "even", "mark", "space"};
    return parity <= 5 ? names[parity] : "?";
}

const char* stopName(std::uint8_t stop)
{
    static const char* names[] = {"?", "1", "2", "1.5"};
    return stop <= 3 ? names[stop] : "?";
}

const char* onOff(bool value) { return value ? "on" : "off"; }

} // namespace

std::string telnetEscape(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        out += c;
        if (static_cast<std::uint8_t>(c) == IAC)
            out += c;
    }
    return out;
}

Rfc2217Session::Rfc2217Session(ModemLines lines)
    : lines_(lines)
{
    lastState_ = modemState();
}

Rfc2217Session::Output Rfc2217Session::receive(std::string_view bytes)
{
    Output out;
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        switch (state_) {
        case State::Data:
            if (byte == IAC)
                state_ = State::Iac;
            else
                out.toDevice += c;
            break;
        case State::Iac:
            state_ = State::Data;
            if (byte == IAC) {
                out.toDevice += c;
            } else if (byte == DO || byte == DONT || byte == WILL || byte == WONT) {
                command_ = byte;
                state_ = State::Negotiate;
            } else if (byte == SB) {
                sub_.clear();
                state_ = State::Sub;
            }
            // Other Telnet commands (NOP, GA, AYT, a stray SE) mean nothing
            // to a serial line.
            break;
        case State::Negotiate:
            negotiate(command_, byte, out);
            state_ = State::Data;
            break;
        case State::Sub:
            if (byte == IAC)
                state_ = State::SubIac;
            else if (sub_.size() < kSubLimit)
                sub_ += c;
            break;
        case State::SubIac:
            if (byte == IAC) {
                if (sub_.size() < kSubLimit)
                    sub_ += c;
                state_ = State::Sub;
            } else if (byte == SE) {
                subnegotiation(out);
                state_ = State::Data;
            } else {
                out.notes.push_back("telnet: subnegotiation not ended by IAC SE, dropped");
                state_ = State::Data;
            }
            break;
        }
    }
    return out;
}

void Rfc2217Session::negotiate(std::uint8_t command, std::uint8_t option, Output& out)
{
    const bool wasActive = comPortActive();
    auto send = [&](std::uint8_t answer) {
        out.toClient += static_cast<char>(IAC);
        out.toClient += static_cast<char>(answer);
        out.toClient += static_cast<char>(option);
    };
    switch (command) {
    case WILL:
        if (!supported(option)) {
            send(DONT);
            out.notes.push_back("telnet: refused client " + optionName(option));
        } else if (!remote_[option]) {
            remote_[option] = true;
            send(DO);
        }
        break;
    case DO:
        if (!supported(option)) {
            send(WONT);
            out.notes.push_back("telnet: refused server " + optionName(option));
        } else if (!local_[option]) {
            local_[option] = true;
            send(WILL);
        }
        break;
    case WONT:
        if (remote_[option]) {
            remote_[option] = false;
            send(DONT);
        }
        break;
    case DONT:
        if (local_[option]) {
            local_[option] = false;
            send(WONT);
        }
        break;
    }
    if (!wasActive && comPortActive()) {
        out.notes.push_back("telnet: COM port control enabled");
        // A device server reports the lines as soon as the client can read them.
        notifyModemState(true, out.toClient);
    }
}

void Rfc2217Session::subnegotiation(Output& out)
{
    if (sub_.size() < 2 || static_cast<std::uint8_t>(sub_[0]) != kComPort) {
        out.notes.push_back("telnet: ignored subnegotiation");
        return;
    }
    comPortCommand(static_cast<std::uint8_t>(sub_[1]), std::string_view(sub_).substr(2), out);
}

void Rfc2217Session::comPortCommand(std::uint8_t command, std::string_view value, Output& out)
{
    const std::uint8_t first = value.empty() ? 0 : static_cast<std::uint8_t>(value[0]);
    auto replyByte = [&](std::uint8_t byte) { reply(command, std::string(1, static_cast<char>(byte)), out); };

    switch (command) {
    case Signature:
        if (value.empty())
            reply(command, kSignature, out);
        else
            out.notes.push_back("link: client signature \"" + std::string(value) + "\"");
        return;
    case SetBaudRate: {
        if (value.size() != 4) {
            out.notes.push_back("link: SET-BAUDRATE without its four bytes, ignored");
            return;
        }
        std::uint32_t baud = 0;
        for (const char c : value)
            baud = (baud << 8) | static_cast<std::uint8_t>(c);
        if (baud != 0) {
            settings_.baud = baud;
            out.notes.push_back("link: baud rate " + std::to_string(baud));
        }
        std::string bytes;
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>((settings_.baud >> shift) & 0xFF);
        reply(command, bytes, out);
        return;
    }
    case SetDataSize:
        if (first >= 5 && first <= 8) {
            settings_.dataSize = first;
            out.notes.push_back("link: data bits " + std::to_string(first));
        }
        replyByte(settings_.dataSize);
        return;
    case SetParity:
        if (first >= 1 && first <= 5) {
            settings_.parity = first;
            out.notes.push_back(std::string("link: parity ") + parityName(first));
        }
        replyByte(settings_.parity);
        return;
    case SetStopSize:
        if (first >= 1 && first <= 3) {
            settings_.stopSize = first;
            out.notes.push_back(std::string("link: stop bits ") + stopName(first));
        }
        replyByte(settings_.stopSize);
        return;
    case SetControl:
        replyByte(setControl(first, out));
        return;
    case NotifyModemState:
        // A poll: answer with the present lines.
        notifyModemState(true, out.toClient);
        return;
    case NotifyLineState:
        reply(command, std::string(1, '\0'), out);
        return;
    case FlowControlSuspend:
    case FlowControlResume:
        // The printer never sends data, so there is nothing to hold back.
        return;
    case SetLineStateMask:
        lineMask_ = first;
        replyByte(lineMask_);
        return;
    case SetModemStateMask:
        modemMask_ = first;
        out.notes.push_back("link: modem state mask " + std::to_string(first));
        replyByte(modemMask_);
        notifyModemState(true, out.toClient);
        return;
    case PurgeData:
        // Nothing is queued on this side: data goes to the printer as it comes.
        replyByte(first);
        return;
    default:
        out.notes.push_back("link: unknown COM port command " + std::to_string(command) + ", ignored");
        return;
    }
}

std::uint8_t Rfc2217Session::setControl(std::uint8_t value, Output& out)
{
    switch (value) {
    case 0:
        return settings_.outboundFlow;
    case 1:
    case 2:
    case 3:
    case 17:
    case 18:
    case 19:
        settings_.outboundFlow = value;
        out.notes.push_back("link: flow control " + std::to_string(value));
        return value;
    case 4:
        return settings_.breakOn ? 5 : 6;
    case 5:
    case 6:
        settings_.breakOn = value == 5;
        out.notes.push_back(std::string("link: break ") + onOff(settings_.breakOn));
        return value;
    case 7:
        return settings_.dtr ? 8 : 9;
    case 8:
    case 9:
        settings_.dtr = value == 8;
        out.notes.push_back(std::string("link: DTR ") + onOff(settings_.dtr));
        return value;
    case 10:
        return settings_.rts ? 11 : 12;
    case 11:
    case 12:
        settings_.rts = value == 11;
        out.notes.push_back(std::string("link: RTS ") + onOff(settings_.rts));
        return value;
    case 13:
        return settings_.inboundFlow;
    case 14:
    case 15:
    case 16:
        settings_.inboundFlow = value;
        return value;
    default:
        out.notes.push_back("link: unknown SET-CONTROL value " + std::to_string(value));
        return value;
    }
}

void Rfc2217Session::reply(std::uint8_t command, std::string_view value, Output& out) const
{
    out.toClient += static_cast<char>(IAC);
    out.toClient += static_cast<char>(SB);
    out.toClient += static_cast<char>(kComPort);
    out.toClient += static_cast<char>(command + ServerOffset);
    out.toClient += telnetEscape(value);
    out.toClient += static_cast<char>(IAC);
    out.toClient += static_cast<char>(SE);
}

std::uint8_t Rfc2217Session::modemState() const
{
    return (lines_.cd ? kCd : 0) | (lines_.ri ? kRi : 0) | (lines_.dsr ? kDsr : 0) | (lines_.cts ? kCts : 0);
}

void Rfc2217Session::notifyModemState(bool force, std::string& out)
{
    const std::uint8_t state = modemState();
    // The low nibble flags the lines that changed since the last report.
    const std::uint8_t deltas = static_cast<std::uint8_t>((state ^ lastState_) >> 4);
    const std::uint8_t value = state | deltas;
    lastState_ = state;
    // A change counts when the mask holds either the line or its change flag.
    const std::uint8_t changed = static_cast<std::uint8_t>((deltas << 4) | deltas);
    const bool relevant = (changed & modemMask_) != 0;
    if (!force && !(comPortActive() && relevant))
        return;
    Output reply;
    this->reply(NotifyModemState, std::string(1, static_cast<char>(value & modemMask_)), reply);
    out += reply.toClient;
}

std::string Rfc2217Session::linesChanged(ModemLines lines)
{
    std::string out;
    if (lines == lines_)
        return out;
    lines_ = lines;
    notifyModemState(false, out);
    return out;
}
