#include "Cp1252.h"

#include <array>

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char16_t kOrdinalSign = 0x00AA;
constexpr char16_t kReplacement = 0xFFFD;

} // namespace

QString decodePrinterText(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char16_t unit = byte;
        if (byte >= 0x80 && byte <= 0x9F)
            unit = kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : kReplacement;
        else if (byte == 0xA6)
            unit = kOrdinalSign;
        text.append(QChar(unit));
    }
    return text;
}
