// The money parser against any text a box, a row or a caller may hand it:
// what it accepts is an amount a cheque carries, and the screen's text, the
// printer's digits and the words all say that amount again. The first byte
// picks how the rest becomes a text: as UTF-8, one character of an amount's
// alphabet a byte, or an amount built digit by digit, mostly nines, so that
// the largest amounts and their roundings come up.
#include "Money.h"

#include <QRegularExpression>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

QString textOf(const std::uint8_t *bytes, std::size_t size)
{
    if (size == 0)
        return QString();
    const std::uint8_t mode = bytes[0] % 3;
    ++bytes;
    --size;
    if (mode == 0)
        return QString::fromUtf8(reinterpret_cast<const char *>(bytes), qsizetype(size));
    QString text;
    if (mode == 1) {
        static const QString alphabet = QStringLiteral("0123456789,.R$ \u00A0-+e");
        for (std::size_t i = 0; i < size; ++i)
            text += alphabet[bytes[i] % alphabet.size()];
        return text;
    }
    // Up to fourteen integer digits and five decimals, the digits taken
    // from the bytes that follow (nines once they run out); a comma, dots
    // between the groups and "R$ " by the bits of the first.
    const std::uint8_t shape = size ? bytes[0] : 0;
    const std::size_t integers = shape % 15, decimals = shape / 15 % 6;
    const auto digit = [&](std::size_t i) {
        const std::uint8_t b = i < size ? bytes[i] : 9;
        return QLatin1Char(b % 4 ? '9' : char('0' + b % 10));
    };
    for (std::size_t i = 1; i <= integers; ++i) {
        if ((shape & 0x40) && i > 1 && (integers - i + 1) % 3 == 0)
            text += u'.';
        text += digit(i);
    }
    if (decimals || (shape & 0x20))
        text += u',';
    for (std::size_t i = 1; i <= decimals; ++i)
        text += digit(integers + i);
    return (shape & 0x80) ? QStringLiteral("R$ ") + text : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    const QString text = textOf(bytes, size);

    // Both amount-box rules: formatting their own result changes nothing,
    // and fourteen typed digits or fewer are the amount they show.
    for (QString (*rule)(const QString &) : {&FormataValorAvulso, &FormataValorPreDatado}) {
        const QString formatted = rule(text);
        check(rule(formatted) == formatted);
    }
    static const QRegularExpression typed(QStringLiteral("^[0-9]{0,14}$"));
    if (typed.match(text).hasMatch()) {
        const std::optional<Money> shown = Money::parse(FormataValorAvulso(text));
        check(shown && shown->centavos() == text.toLongLong());
    }

    const std::optional<Money> amount = Money::parse(text);
    const QString refusal = Money::invalidText(text);
    if (!amount) {
        check(refusal.contains(text.trimmed()));
        return 0;
    }
    check(amount->fitsACheque());

    // The screen's and VALOR's text reads back as the same centavos.
    static const QRegularExpression amountText(QStringLiteral("^[0-9]{1,12},[0-9]{2}$"));
    const QString screen = amount->toText();
    check(amountText.match(screen).hasMatch());
    const std::optional<Money> back = Money::parse(screen);
    check(back && *back == amount->roundedToCentavos() && back->toText() == screen);

    // The printer's digits are the same amount, and fit its fourteen.
    const QString digits = amount->printerDigits();
    check(digits == QString(screen).remove(u',') && digits.size() <= 14);
    check(digits.toLongLong() == amount->centavos());

    // The words name it: "ZERO" for nothing and only then.
    const std::string words = amount->extenso();
    check(!words.empty() && (words == "ZERO") == (amount->centavos() == 0));
    check(words.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ ,") == std::string::npos);
    return 0;
}
