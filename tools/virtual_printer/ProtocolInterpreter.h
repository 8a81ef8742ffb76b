#pragma once

#include <string>
#include <string_view>
#include <vector>

// One complete unit of the printer's wire protocol.
struct Frame {
    enum class Kind {
        Layout,      // ESC "L" + 3 digits + 36 layout characters + 0x00; text: the 39 characters
        Bank,        // ESC "B" + digits, ended by the next byte that is not a digit
        Payee,       // ESC "F" text "$"
        City,        // ESC "C" text "$"
        Date,        // ESC "D" + 6 digits (DDMMYY)
        PrintCheque, // ESC "V" amount digits "$"
        Document,    // plain text followed by 0x0C: print and eject
        Invalid,     // anything the printer cannot take; problem says why
    };

    Kind kind;
    std::string text;
    std::string problem;

    bool operator==(const Frame&) const = default;
};

// Splits the byte stream into frames. Bytes may arrive in pieces of any size:
// a frame cut by a piece boundary is completed by the following pieces.
class ProtocolInterpreter {
public:
    std::vector<Frame> feed(std::string_view bytes);

    // Forgets any half-received frame and document text (power cycle).
    void reset();

    // Text received for a document that has not been ejected yet.
    bool hasPendingDocument() const { return !document_.empty(); }

    static constexpr std::size_t kFieldLimit = 508;
    // Text beyond this in one document is dropped (and reported).
    static constexpr std::size_t kDocumentLimit = 64 * 1024;

private:
    enum class State { Text, Escape, Layout, Bank, Field, Date };

    void take(char byte, std::vector<Frame>& out);
    void takeText(char byte, std::vector<Frame>& out);
    void startCommand(char command, std::vector<Frame>& out);
    void takeField(char byte, std::vector<Frame>& out);
    void takeLayout(char byte, std::vector<Frame>& out);
    void abandon(const char* what, std::vector<Frame>& out);
    void finish(Frame::Kind kind, std::vector<Frame>& out);

    State state_ = State::Text;
    Frame::Kind fieldKind_ = Frame::Kind::Payee;
    char command_ = 0;
    std::string buffer_;
    bool overflow_ = false;
    std::string document_;
    bool documentOverflow_ = false;
};
