// The virtual printer's wire interpreter against any bytes a client may send,
// in pieces of any size: frames stay within the printer's limits, and the
// way the bytes are cut never changes what the printer makes of them.
#include "ProtocolInterpreter.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    const std::string_view all(reinterpret_cast<const char *>(bytes), size);
    ProtocolInterpreter whole;
    const std::vector<Frame> expected = whole.feed(all);

    ProtocolInterpreter pieces;
    std::vector<Frame> got;
    std::size_t step = size ? 1 + bytes[size - 1] % 7 : 1;
    for (std::size_t at = 0; at < size; at += step) {
        for (Frame &frame : pieces.feed(all.substr(at, step)))
            got.push_back(std::move(frame));
    }
    if (got != expected)
        std::abort();
    for (const Frame &frame : expected) {
        const std::size_t limit = frame.kind == Frame::Kind::Document ? ProtocolInterpreter::kDocumentLimit
                                                                       : ProtocolInterpreter::kFieldLimit;
        if (frame.text.size() > limit)
            std::abort();
    }
    return 0;
}
