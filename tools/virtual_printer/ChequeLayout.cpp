#include "ChequeLayout.h"

std::optional<ChequeLayout> ChequeLayout::fromDigits(std::string_view digits)
{
    if (digits.size() != kDigits)
        return std::nullopt;
    ChequeLayout layout;
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const char tens = digits[2 * i];
        const char units = digits[2 * i + 1];
        if (tens < '0' || tens > '9' || units < '0' || units > '9')
            return std::nullopt;
        layout.values_[i] = (tens - '0') * 10 + (units - '0');
    }
    return layout;
}

std::string ChequeLayout::digits() const
{
    std::string text;
    text.reserve(kDigits);
    for (const int value : values_) {
        text += static_cast<char>('0' + value / 10);
        text += static_cast<char>('0' + value % 10);
    }
    return text;
}
