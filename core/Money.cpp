#include "Money.h"

#include "UnExtenso.h"

#include <QRegularExpression>

#include <stdexcept>

namespace {

// Nearest integer of numerator / divisor (divisor > 0), a half to even.
std::int64_t divideHalfEven(std::int64_t numerator, std::int64_t divisor)
{
    std::int64_t quotient = numerator / divisor;
    std::int64_t remainder = numerator % divisor;
    if (remainder < 0) {
        remainder += divisor;
        --quotient;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > divisor || (twice == divisor && (quotient % 2 != 0)))
        ++quotient;
    return quotient;
}

// The comma before the last two digits, short texts padded with zeros.
QString withComma(const QString &digits)
{
    if (digits.size() > 2)
        return digits.left(digits.size() - 2) + u',' + digits.right(2);
    return QStringLiteral("0,") + digits.rightJustified(2, u'0');
}

enum class Reading { Amount, NotAnAmount, TooLarge };

// parse() and invalidText() in one: what the text is, and its amount.
Reading read(const QString &text, Money &amount)
{
    static const QRegularExpression format(QStringLiteral(
        R"(^\s*(?:R\$\s*)?(\d{1,3}(?:\.\d{3})+|\d*)(?:,(\d{0,4}))?\s*$)"));
    const QRegularExpressionMatch match = format.match(text);
    if (!match.hasMatch())
        return Reading::NotAnAmount;
    QString integer = match.captured(1);
    const QString decimals = match.captured(2);
    // A bare comma, or nothing at all, is no amount.
    if (integer.isEmpty() && decimals.isEmpty())
        return Reading::NotAnAmount;
    integer.remove(u'.');
    while (integer.size() > 1 && integer.front() == u'0')
        integer.remove(0, 1);
    if (integer.size() > 12)
        return Reading::TooLarge;
    const std::int64_t reais = integer.isEmpty() ? 0 : integer.toLongLong();
    const std::int64_t fraction = decimals.isEmpty() ? 0 : decimals.leftJustified(4, u'0').toLongLong();
    amount = Money::fromUnits(reais * Money::UnitsPerReal + fraction);
    return amount.fitsACheque() ? Reading::Amount : Reading::TooLarge;
}

} // namespace

std::optional<Money> Money::parse(const QString &text)
{
    Money amount;
    if (read(text, amount) != Reading::Amount)
        return std::nullopt;
    return amount;
}

QString Money::invalidText(const QString &text)
{
    Money amount;
    if (read(text, amount) == Reading::TooLarge)
        return QStringLiteral("O valor \"%1\" passa do maior valor de um cheque, %2.")
            .arg(text.trimmed(), Money::fromCentavos(MaxCentavos).toText());
    return QStringLiteral("O valor \"%1\" não é um valor válido.").arg(text.trimmed());
}

bool Money::fitsACheque() const
{
    return units_ >= 0 && centavos() <= MaxCentavos;
}

Money Money::roundedToCentavos() const
{
    return Money(centavos() * UnitsPerCentavo);
}

std::int64_t Money::centavos() const
{
    return divideHalfEven(units_, UnitsPerCentavo);
}

QString Money::toText() const
{
    const std::int64_t cents = centavos();
    const std::uint64_t magnitude = cents < 0 ? std::uint64_t(0) - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1%2,%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString Money::printerDigits() const
{
    return toText().remove(u',');
}

std::string Money::extenso() const
{
    return ExtensoCentavos(centavos());
}

std::optional<Money> Money::plus(Money other) const
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(units_, other.units_, &sum))
        return std::nullopt;
    return Money(sum);
}

Money Money::inRange(std::optional<Money> result)
{
    if (!result)
        throw std::overflow_error("O resultado passa do maior valor que o programa calcula.");
    return *result;
}

Money Money::dividedBy(std::int64_t divisor) const
{
    if (divisor < 0)
        return Money(divideHalfEven(-units_, -divisor));
    return Money(divideHalfEven(units_, divisor));
}

QString FormataValorAvulso(const QString &texto)
{
    QString semVirgula = texto;
    const qsizetype virgula = semVirgula.indexOf(u',');
    if (virgula >= 0)
        semVirgula.remove(virgula, 1);
    if (semVirgula.contains(u','))
        return texto;
    return withComma(semVirgula);
}

QString FormataValorPreDatado(const QString &texto)
{
    if (texto.contains(u',') || texto.contains(u'.'))
        return texto;
    return withComma(texto);
}
