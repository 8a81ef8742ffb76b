#pragma once

#include <QString>

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

// An amount of reais in whole units of 1/10000 real, the fixed-point
// currency the installment plan is computed in. Every amount the program
// reads from a screen, a row or a caller goes through parse(); every amount
// it shows, stores or prints comes out of toText() or printerDigits(), so no
// two places can read the same text differently.
class Money {
public:
    static constexpr std::int64_t UnitsPerReal = 10000;
    static constexpr std::int64_t UnitsPerCentavo = 100;
    // Twelve integer digits: the most a cheque's words can spell.
    static constexpr std::int64_t MaxUnits = 999'999'999'999'9999;
    // The largest amount a cheque carries, once rounded to centavos: its
    // words, the printer's fourteen digits, VALOR's fifteen characters.
    static constexpr std::int64_t MaxCentavos = 999'999'999'999'99;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t units) { return Money(units); }
    static constexpr Money fromCentavos(std::int64_t centavos) { return Money(centavos * UnitsPerCentavo); }

    // Reads an amount text: digits with an optional decimal comma and up to
    // four decimals ("1234,56", "0,05", "7", ",5"), thousands dots in groups
    // of three ("1.234,56"), an optional "R$" in front and blanks around.
    // Anything else, a sign, or an amount no cheque carries (see
    // fitsACheque: "999999999999,995" would round past it) is refused.
    static std::optional<Money> parse(const QString &text);
    // The message a screen shows for a text parse() refused: a text that is
    // no amount, or an amount beyond the largest a cheque carries.
    static QString invalidText(const QString &text);

    // From zero to MaxCentavos once rounded to centavos: what a cheque, its
    // words and VALOR hold. parse() gives nothing else; sums and quotients
    // may leave it.
    bool fitsACheque() const;

    constexpr std::int64_t units() const { return units_; }
    // Rounded to whole centavos, a half going to the even centavo.
    Money roundedToCentavos() const;
    std::int64_t centavos() const;

    // The amount text of the screens and of VALOR: digits, a comma and
    // exactly two decimals, no thousands separator ("1234,56", "0,05").
    QString toText() const;
    // What the printer's amount frame carries: the amount text without its
    // comma ("123456", "005").
    QString printerDigits() const;
    // Upper-case Portuguese words of the amount ("CEM REAIS").
    std::string extenso() const;

    // Integer division rounded to the nearest unit, a half going to even.
    Money dividedBy(std::int64_t divisor) const;

    // The sum, or nothing when it would leave the range of Money (some
    // 922 trillion reais either way). A total of any number of amounts is
    // taken with it, and its caller says what could not be summed.
    std::optional<Money> plus(Money other) const;

    // For amounts known to be small, such as one series' installments:
    // beyond the range of Money they throw std::overflow_error rather than
    // wrap around.
    friend Money operator+(Money a, Money b) { return inRange(a.plus(b)); }
    friend Money operator-(Money a, Money b)
    {
        std::int64_t difference = 0;
        return inRange(__builtin_sub_overflow(a.units_, b.units_, &difference) ? std::nullopt
                                                                               : std::optional(Money(difference)));
    }
    friend Money operator*(Money a, std::int64_t n)
    {
        std::int64_t product = 0;
        return inRange(__builtin_mul_overflow(a.units_, n, &product) ? std::nullopt : std::optional(Money(product)));
    }
    Money &operator+=(Money other) { return *this = *this + other; }
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    constexpr explicit Money(std::int64_t units) : units_(units) {}
    static Money inRange(std::optional<Money> result);

    std::int64_t units_ = 0;
};

// The two rules by which an amount box turns what was typed (digits only)
// into an amount text when it is left. Formatting its own result changes
// nothing.
//
// Single cheque: the first comma goes, a second one leaves the text as it
// was; otherwise a comma goes before the last two digits, padding short
// texts ("5" gives "0,05", "" gives "0,00").
QString FormataValorAvulso(const QString &texto);
// Post-dated series: a text holding "," or "." is left as it is; otherwise
// as above.
QString FormataValorPreDatado(const QString &texto);
