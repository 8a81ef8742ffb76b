#include "Money.h"
#include "UnExtenso.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <stdexcept>

namespace {

std::int64_t unitsOf(const char *text)
{
    const std::optional<Money> money = Money::parse(QString::fromUtf8(text));
    EXPECT_TRUE(money.has_value()) << text;
    return money ? money->units() : -1;
}

} // namespace

TEST(Money, ReadsTheAmountTextsOfTheScreens)
{
    EXPECT_EQ(unitsOf("1234,56"), 12345600);
    EXPECT_EQ(unitsOf("0,05"), 500);
    EXPECT_EQ(unitsOf("1.234,56"), 12345600);
    EXPECT_EQ(unitsOf("R$ 1250,00"), 12500000);
    EXPECT_EQ(unitsOf("R$1250,00"), 12500000);
    EXPECT_EQ(unitsOf(" 1234,56"), 12345600); // the viewer's "R$ " leftover
    EXPECT_EQ(unitsOf("  7  "), 70000);
    EXPECT_EQ(unitsOf(",50"), 5000);
    EXPECT_EQ(unitsOf("1234,5"), 12345000); // tens of centavos, not 123,45
    EXPECT_EQ(unitsOf("1.000.000"), 1000000LL * 10000);
    EXPECT_EQ(unitsOf("0,0001"), 1);
    EXPECT_EQ(unitsOf("999999999999,99"), Money::MaxUnits - 99);
}

TEST(Money, RefusesWhatIsNoAmount)
{
    for (const char *bad : {"", " ", ",", "R$", "abc", "12a,00", "1.23,00", "12,3,4", "-5,00", "+5", "1e5",
                            "12.5", "1,23456", "1 234,00", "1234567890123,00", "R$ -1", "0x10"})
        EXPECT_FALSE(Money::parse(QString::fromUtf8(bad)).has_value()) << bad;
    EXPECT_EQ(Money::invalidText(QStringLiteral(" doze ")), QStringLiteral("O valor \"doze\" não é um valor válido."));
}

// "999999999999,995" would round to "1000000000000,00": a text VALOR cannot
// hold, fifteen printer digits, words of "ZERO".
TEST(Money, RefusesWhatNoChequeCarries)
{
    const QString largest = QStringLiteral("999999999999,99");
    for (const char *beyond : {"999999999999,995", "999999999999,9999", "1.000.000.000.000"}) {
        EXPECT_FALSE(Money::parse(QString::fromUtf8(beyond)).has_value()) << beyond;
        EXPECT_EQ(Money::invalidText(QString::fromUtf8(beyond)),
                  QStringLiteral("O valor \"%1\" passa do maior valor de um cheque, %2.")
                      .arg(QString::fromUtf8(beyond), largest));
    }
    EXPECT_EQ(Money::parse(QStringLiteral("999999999999,9949"))->toText(), largest);
    EXPECT_TRUE(Money::fromCentavos(Money::MaxCentavos).fitsACheque());
    EXPECT_TRUE(Money().fitsACheque());
    EXPECT_FALSE(Money::fromCentavos(Money::MaxCentavos + 1).fitsACheque());
    EXPECT_FALSE(Money::fromUnits(-1).fitsACheque());
}

// A sum past 64 bits wrapped around to a negative total.
TEST(Money, SumsOutOfRangeFailInsteadOfWrappingAround)
{
    const Money largest = Money::fromUnits(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(largest.plus(Money::fromUnits(-1)), Money::fromUnits(std::numeric_limits<std::int64_t>::max() - 1));
    EXPECT_FALSE(largest.plus(Money::fromUnits(1)).has_value());
    EXPECT_FALSE(Money::fromUnits(std::numeric_limits<std::int64_t>::min()).plus(Money::fromUnits(-1)).has_value());
    EXPECT_THROW(largest + Money::fromUnits(1), std::overflow_error);
    EXPECT_THROW(Money::fromUnits(-2) - largest, std::overflow_error);
    EXPECT_THROW(largest * 2, std::overflow_error);
    Money total = Money::fromUnits(Money::MaxUnits);
    EXPECT_THROW(for (int i = 0; i < 1000; ++i) total += Money::fromUnits(Money::MaxUnits), std::overflow_error);
}

TEST(Money, FormatsAsAmountTextPrinterDigitsAndWords)
{
    const Money money = *Money::parse(QStringLiteral("1.234,56"));
    EXPECT_EQ(money.toText(), QStringLiteral("1234,56"));
    EXPECT_EQ(money.printerDigits(), QStringLiteral("123456"));
    EXPECT_EQ(Money::parse(QStringLiteral("0,05"))->printerDigits(), QStringLiteral("005"));
    EXPECT_EQ(Money::parse(QStringLiteral("150"))->toText(), QStringLiteral("150,00"));
    EXPECT_EQ(Money().toText(), QStringLiteral("0,00"));
    EXPECT_EQ(Money::parse(QStringLiteral("R$ 150,00"))->extenso(), "CENTO E CINQUENTA REAIS");
    EXPECT_EQ(Money::parse(QStringLiteral("1100,01"))->extenso(), "UM MIL, CEM REAIS E UM CENTAVO");
    EXPECT_EQ(Money::parse(QStringLiteral("0,29"))->extenso(), "VINTE E NOVE CENTAVOS");
    EXPECT_EQ(Money::parse(QStringLiteral("999999999999,99"))->extenso(),
              Extenso(999999999999.99));
}

TEST(Money, RoundsHalvesToTheEvenCentavo)
{
    EXPECT_EQ(Money::fromUnits(125).toText(), QStringLiteral("0,01"));  // 0,0125
    EXPECT_EQ(Money::fromUnits(150).toText(), QStringLiteral("0,02"));  // 0,015
    EXPECT_EQ(Money::fromUnits(250).toText(), QStringLiteral("0,02"));  // 0,025
    EXPECT_EQ(Money::fromUnits(251).toText(), QStringLiteral("0,03"));
    EXPECT_EQ(Money::fromUnits(-150).toText(), QStringLiteral("-0,02"));
    EXPECT_EQ(Money::fromUnits(1000000).dividedBy(3).units(), 333333);
    EXPECT_EQ(Money::fromUnits(5).dividedBy(2).units(), 2);  // 2,5 to even
    EXPECT_EQ(Money::fromUnits(7).dividedBy(2).units(), 4);  // 3,5 to even
    EXPECT_EQ(Money::fromUnits(-7).dividedBy(2).units(), -4);
}

TEST(Money, RandomAmountsSurviveTheRoundTrip)
{
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<std::int64_t> centavos(0, Money::MaxUnits / Money::UnitsPerCentavo);
    for (int i = 0; i < 20000; ++i) {
        const Money money = Money::fromCentavos(centavos(random));
        const QString text = money.toText();
        const std::optional<Money> back = Money::parse(text);
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        ASSERT_EQ(*back, money) << text.toStdString();
        ASSERT_EQ(Money::parse(QStringLiteral("R$ ") + text + u' '), money);
        ASSERT_EQ(money.printerDigits().toLongLong(), money.centavos());
    }
}
