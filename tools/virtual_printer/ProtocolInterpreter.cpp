#include "ProtocolInterpreter.h"

#include <string>

namespace {

constexpr char kEsc = 0x1B;
constexpr char kFormFeed = 0x0C;
constexpr char kFieldEnd = '$';
constexpr std::size_t kLayoutChars = 3 + 36;
constexpr std::size_t kDateDigits = 6;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string describeByte(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    if (value >= 0x21 && value < 0x7F)
        return std::string("\"") + byte + "\"";
    static const char* hex = "0123456789ABCDEF";
    return std::string("0x") + hex[value >> 4] + hex[value & 15];
}

} // namespace

std::vector<Frame> ProtocolInterpreter::feed(std::string_view bytes)
{
    std::vector<Frame> out;
    for (const char byte : bytes)
        take(byte, out);
    return out;
}

void ProtocolInterpreter::reset()
{
    state_ = State::Text;
    buffer_.clear();
    overflow_ = false;
    document_.clear();
    documentOverflow_ = false;
}

void ProtocolInterpreter::take(char byte, std::vector<Frame>& out)
{
    switch (state_) {
    case State::Text:
        takeText(byte, out);
        return;
    case State::Escape:
        startCommand(byte, out);
        return;
    case State::Layout:
        takeLayout(byte, out);
        return;
    case State::Field:
        takeField(byte, out);
        return;
    case State::Bank:
        if (isDigit(byte)) {
            if (buffer_.size() < kFieldLimit)
                buffer_ += byte;
            return;
        }
        // The bank number has no terminator: whatever follows it ends it
        // and is then read on its own.
        finish(Frame::Kind::Bank, out);
        takeText(byte, out);
        return;
    case State::Date:
        if (isDigit(byte)) {
            buffer_ += byte;
            if (buffer_.size() == kDateDigits)
                finish(Frame::Kind::Date, out);
            return;
        }
        abandon("date frame", out);
        takeText(byte, out);
        return;
    }
}

void ProtocolInterpreter::takeText(char byte, std::vector<Frame>& out)
{
    state_ = State::Text;
    if (byte == kEsc) {
        state_ = State::Escape;
        return;
    }
    if (byte == kFormFeed) {
        out.push_back({Frame::Kind::Document, std::move(document_), {}});
        if (documentOverflow_)
            out.push_back({Frame::Kind::Invalid, {}, "document text beyond 64 KiB was dropped"});
        document_.clear();
        documentOverflow_ = false;
        return;
    }
    if (document_.size() < kDocumentLimit)
        document_ += byte;
    else
        documentOverflow_ = true;
}

void ProtocolInterpreter::startCommand(char command, std::vector<Frame>& out)
{
    buffer_.clear();
    overflow_ = false;
    command_ = command;
    switch (command) {
    case 'L':
        state_ = State::Layout;
        return;
    case 'B':
        state_ = State::Bank;
        return;
    case 'D':
        state_ = State::Date;
        return;
    case 'F':
        fieldKind_ = Frame::Kind::Payee;
        break;
    case 'C':
        fieldKind_ = Frame::Kind::City;
        break;
    case 'V':
        fieldKind_ = Frame::Kind::PrintCheque;
        break;
    case kEsc:
        out.push_back({Frame::Kind::Invalid, {}, "ESC without a command"});
        state_ = State::Escape;
        return;
    default:
        out.push_back({Frame::Kind::Invalid, {}, "unknown command ESC " + describeByte(command)});
        state_ = State::Text;
        return;
    }
    state_ = State::Field;
}

void ProtocolInterpreter::takeField(char byte, std::vector<Frame>& out)
{
    if (byte == kEsc) {
        abandon("field frame", out);
        state_ = State::Escape;
        return;
    }
    if (byte != kFieldEnd) {
        if (buffer_.size() < kFieldLimit)
            buffer_ += byte;
        else
            overflow_ = true;
        return;
    }
    if (overflow_) {
        out.push_back({Frame::Kind::Invalid, buffer_,
                       std::string("ESC \"") + command_ + "\" frame longer than 508 characters"});
        buffer_.clear();
        state_ = State::Text;
        return;
    }
    finish(fieldKind_, out);
}

void ProtocolInterpreter::takeLayout(char byte, std::vector<Frame>& out)
{
    if (buffer_.size() < kLayoutChars) {
        if (byte == 0) {
            out.push_back({Frame::Kind::Invalid, buffer_,
                           "layout frame of " + std::to_string(buffer_.size()) + " characters, 39 expected"});
            buffer_.clear();
            state_ = State::Text;
            return;
        }
        if (byte == kEsc) {
            abandon("layout frame", out);
            state_ = State::Escape;
            return;
        }
        buffer_ += byte;
        return;
    }
    if (byte == 0) {
        finish(Frame::Kind::Layout, out);
        return;
    }
    out.push_back({Frame::Kind::Invalid, buffer_, "layout frame not ended by 0x00"});
    buffer_.clear();
    takeText(byte, out);
}

void ProtocolInterpreter::abandon(const char* what, std::vector<Frame>& out)
{
    out.push_back({Frame::Kind::Invalid, buffer_,
                   std::string("incomplete ") + what + " ESC \"" + command_ + "\""});
    buffer_.clear();
    state_ = State::Text;
}

void ProtocolInterpreter::finish(Frame::Kind kind, std::vector<Frame>& out)
{
    out.push_back({kind, std::move(buffer_), {}});
    buffer_.clear();
    state_ = State::Text;
}
