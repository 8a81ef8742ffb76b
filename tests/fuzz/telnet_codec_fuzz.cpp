// The telnet codec against any bytes a server may send: nothing read or
// written out of bounds, and data escaped on the way out comes back intact.
extern "C" {
#include "telnet_codec.h"
}

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct Seen {
    std::string data;
    std::size_t events = 0;
};

void onData(void *context, unsigned char byte) { static_cast<Seen *>(context)->data += static_cast<char>(byte); }
void onNegotiation(void *context, unsigned char, unsigned char) { static_cast<Seen *>(context)->events++; }
void onSubnegotiation(void *context, const unsigned char *payload, std::size_t length)
{
    if (length > TELNET_SB_MAX || (length > 0 && !payload))
        std::abort();
    static_cast<Seen *>(context)->events++;
}

const telnet_events events = {onData, onNegotiation, onSubnegotiation};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    // As received, cut at a point taken from the input itself.
    telnet_decoder decoder{};
    Seen seen;
    const std::size_t cut = size ? bytes[0] % (size + 1) : 0;
    telnet_decode(&decoder, bytes, cut, &events, &seen);
    telnet_decode(&decoder, bytes + cut, size - cut, &events, &seen);
    if (seen.data.size() > size)
        std::abort();

    // As sent: escaped into a small buffer piece by piece, then decoded.
    std::string wire;
    unsigned char out[64];
    for (std::size_t at = 0; at < size;) {
        std::size_t written = 0;
        const std::size_t took = telnet_escape(bytes + at, size - at, out, sizeof out, &written);
        if (took == 0 || written > sizeof out)
            std::abort();
        wire.append(reinterpret_cast<char *>(out), written);
        at += took;
    }
    telnet_decoder back{};
    Seen round;
    telnet_decode(&back, reinterpret_cast<const unsigned char *>(wire.data()), wire.size(), &events, &round);
    if (round.data != std::string(reinterpret_cast<const char *>(bytes), size) || round.events != 0)
        std::abort();
    return 0;
}
