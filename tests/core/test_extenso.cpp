#include "UnExtenso.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Case = std::pair<double, const char*>;

void expectWords(const std::vector<Case>& cases)
{
    for (const auto& [amount, words] : cases)
        EXPECT_EQ(Extenso(amount), words) << "amount " << amount;
}

} // namespace

TEST(ExtensoCentena, GroupsOfThreeDigits)
{
    EXPECT_EQ(ExtensoCentena("000"), "");
    EXPECT_EQ(ExtensoCentena("001"), "UM");
    EXPECT_EQ(ExtensoCentena("010"), "DEZ");
    EXPECT_EQ(ExtensoCentena("015"), "QUINZE");
    EXPECT_EQ(ExtensoCentena("020"), "VINTE");
    EXPECT_EQ(ExtensoCentena("021"), "VINTE E UM");
    EXPECT_EQ(ExtensoCentena("100"), "CEM");
    EXPECT_EQ(ExtensoCentena("101"), "CENTO E UM");
    EXPECT_EQ(ExtensoCentena("110"), "CENTO E DEZ");
    EXPECT_EQ(ExtensoCentena("119"), "CENTO E DEZENOVE");
    EXPECT_EQ(ExtensoCentena("200"), "DUZENTOS");
    EXPECT_EQ(ExtensoCentena("205"), "DUZENTOS E CINCO");
    EXPECT_EQ(ExtensoCentena("340"), "TREZENTOS E QUARENTA");
    EXPECT_EQ(ExtensoCentena("999"), "NOVECENTOS E NOVENTA E NOVE");
}

TEST(ExtensoCentena, MalformedGroupSaysNothing)
{
    EXPECT_EQ(ExtensoCentena(""), "");
    EXPECT_EQ(ExtensoCentena("12"), "");
    EXPECT_EQ(ExtensoCentena("1234"), "");
    EXPECT_EQ(ExtensoCentena("1a2"), "");
}

TEST(Extenso, WorkedResults)
{
    expectWords({
        {1, "UM REAL"},
        {2, "DOIS REAIS"},
        {0.01, "UM CENTAVO"},
        {0.50, "CINQUENTA CENTAVOS"},
        {1.50, "UM REAL E CINQUENTA CENTAVOS"},
        {100, "CEM REAIS"},
        {1100, "UM MIL E CEM REAIS"},
        {1100.50, "UM MIL, CEM REAIS E CINQUENTA CENTAVOS"},
        {1000, "UM MIL REAIS"},
        {1000000, "UM MILHAO DE REAIS"},
        {2500000, "DOIS MILHOES, QUINHENTOS MIL REAIS"},
        {1000001, "UM MILHAO E UM REAIS"},
        {0, "ZERO"},
    });
}

TEST(Extenso, HundredsAndScales)
{
    expectWords({
        {0.00, "ZERO"},
        {101, "CENTO E UM REAIS"},
        {110, "CENTO E DEZ REAIS"},
        {119, "CENTO E DEZENOVE REAIS"},
        {2000, "DOIS MIL REAIS"},
        {2001, "DOIS MIL E UM REAIS"},
        {3000000, "TRES MILHOES DE REAIS"},
        {1000000000, "UM BILHAO DE REAIS"},
        {2000000000, "DOIS BILHOES DE REAIS"},
        {1001000, "UM MILHAO, UM MIL REAIS"},
        {999999999999.99,
         "NOVECENTOS E NOVENTA E NOVE BILHOES, NOVECENTOS E NOVENTA E NOVE MILHOES, "
         "NOVECENTOS E NOVENTA E NOVE MIL, NOVECENTOS E NOVENTA E NOVE REAIS E "
         "NOVENTA E NOVE CENTAVOS"},
    });
}

TEST(Extenso, CentavosChangeTheLastJoin)
{
    expectWords({
        {1100.01, "UM MIL, CEM REAIS E UM CENTAVO"},
        {0.99, "NOVENTA E NOVE CENTAVOS"},
        {1.01, "UM REAL E UM CENTAVO"},
        {1000000.10, "UM MILHAO DE REAIS E DEZ CENTAVOS"},
        {21.15, "VINTE E UM REAIS E QUINZE CENTAVOS"},
    });
}

// Amounts without an exact binary form must read as their two-decimal text.
TEST(Extenso, InexactAmountsRoundToCentavos)
{
    expectWords({
        {0.29, "VINTE E NOVE CENTAVOS"},
        {0.57, "CINQUENTA E SETE CENTAVOS"},
        {1.13, "UM REAL E TREZE CENTAVOS"},
        {19.99, "DEZENOVE REAIS E NOVENTA E NOVE CENTAVOS"},
        {1234.56, "UM MIL, DUZENTOS E TRINTA E QUATRO REAIS E CINQUENTA E SEIS CENTAVOS"},
        {0.1 + 0.2, "TRINTA CENTAVOS"},
        {0.999, "UM REAL"},
        {0.004, "ZERO"},
    });
}

TEST(Extenso, AmountsFromOneTrillionLoseLeadingDigits)
{
    EXPECT_EQ(Extenso(1234567890123.45), Extenso(234567890123.45));
    EXPECT_EQ(Extenso(234567890123.45),
              "DUZENTOS E TRINTA E QUATRO BILHOES, QUINHENTOS E SESSENTA E SETE MILHOES, "
              "OITOCENTOS E NOVENTA MIL, CENTO E VINTE E TRES REAIS E QUARENTA E CINCO CENTAVOS");
    const std::string huge = Extenso(1e300);
    EXPECT_FALSE(huge.empty());
    EXPECT_NE(huge.front(), ' ');
}

TEST(Extenso, NegativeAmountsSpellTheirAbsoluteValue)
{
    EXPECT_EQ(Extenso(-1), "UM REAL");
    EXPECT_EQ(Extenso(-1100.5), "UM MIL, CEM REAIS E CINQUENTA CENTAVOS");
    EXPECT_EQ(Extenso(-0.0), "ZERO");
}

TEST(Extenso, NonFiniteAmountsSayNothing)
{
    EXPECT_EQ(Extenso(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(Extenso(std::numeric_limits<double>::quiet_NaN()), "");
}
