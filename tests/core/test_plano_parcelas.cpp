#include "PlanoParcelas.h"
#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>

namespace {

Money reais(const char *texto)
{
    return *Money::parse(QString::fromUtf8(texto));
}

PlanoParcelas plano(int n, const QDate &inicial = QDate(2009, 1, 31), int periodo = 1, int unidade = UnidadeMeses)
{
    return planoParcelas(reais("1200,00"), n, inicial, periodo, unidade, std::nullopt);
}

} // namespace

TEST(PlanoParcelas, SplitsTheTotalTheFirstTakingTheDifference)
{
    const struct {
        const char *total;
        int n;
        std::vector<const char *> valores; // the rest repeat the last one
    } casos[] = {
        {"100,00", 3, {"R$ 33,34", "R$ 33,33"}},
        {"0,05", 3, {"R$ 0,01", "R$ 0,02"}},
        {"10,00", 4, {"R$ 2,50", "R$ 2,50"}},
        {"0,10", 4, {"R$ 0,04", "R$ 0,02"}},  // 2,5 centavos to the even 2
        {"0,00", 2, {"R$ 0,00", "R$ 0,00"}},
        {"1,50", 100, {"R$ 0,51", "R$ 0,01"}}, // 0,02 each would leave -0,48 for the first
        {"10,0150", 2, {"R$ 5,01", "R$ 5,01"}}, // split as it reads, 10,02: not 5,00 + 5,01
        {"999999999999,99", 7, {"R$ 142857142857,15", "R$ 142857142857,14"}},
        {"1250,00", 1, {"R$ 1250,00"}},
    };
    for (const auto &caso : casos) {
        const PlanoParcelas p = planoParcelas(reais(caso.total), caso.n, QDate(2009, 1, 1), 1, UnidadeMeses, {});
        ASSERT_EQ(p.parcelas.size(), std::size_t(caso.n)) << caso.total;
        for (int k = 0; k < caso.n; ++k)
            EXPECT_EQ(p.parcelas[k].textoValor(), QString::fromUtf8(caso.valores[std::min<std::size_t>(k, caso.valores.size() - 1)]))
                << caso.total << " in " << caso.n << ", installment " << k + 1;
    }
}

TEST(PlanoParcelas, ValuesAlwaysAddUpAndDifferOnlyByTheRounding)
{
    std::mt19937_64 random(20090131);
    std::uniform_int_distribution<std::int64_t> grande(0, Money::MaxUnits / Money::UnitsPerCentavo);
    std::uniform_int_distribution<std::int64_t> pequeno(0, 5000);
    std::uniform_int_distribution<int> parcelas(1, MaxParcelas);
    for (int i = 0; i < 4000; ++i) {
        const Money total = Money::fromCentavos(i % 2 ? grande(random) : pequeno(random));
        const int n = parcelas(random);
        const PlanoParcelas p = planoParcelas(total, n, QDate(2009, 1, 1), 1, UnidadeDias, {});
        ASSERT_EQ(p.parcelas.size(), std::size_t(n));
        Money soma;
        for (const Parcela &parcela : p.parcelas) {
            ASSERT_GE(parcela.valor, Money());
            ASSERT_EQ(parcela.valor.units() % Money::UnitsPerCentavo, 0);
            if (parcela.numero > 1) {
                ASSERT_EQ(parcela.valor, p.parcelas.back().valor);
            }
            soma += parcela.valor;
        }
        ASSERT_EQ(soma, total) << total.toText().toStdString() << " in " << n;
        const std::int64_t diferenca = p.parcelas.front().valor.units() - p.parcelas.back().valor.units();
        ASSERT_LT(std::llabs(diferenca), n * Money::UnitsPerCentavo) << total.toText().toStdString() << " in " << n;
    }
}

TEST(PlanoParcelas, DatesCountFromTheFirstDateWithMonthEndsClamped)
{
    const struct {
        QDate inicial;
        int periodo;
        int unidade;
        int k;
        QDate esperada;
    } casos[] = {
        {QDate(2009, 1, 31), 1, UnidadeMeses, 1, QDate(2009, 1, 31)},
        {QDate(2009, 1, 31), 1, UnidadeMeses, 2, QDate(2009, 2, 28)},
        {QDate(2009, 1, 31), 1, UnidadeMeses, 3, QDate(2009, 3, 31)}, // not 28/03: from the first date
        {QDate(2009, 1, 31), 1, UnidadeMeses, 4, QDate(2009, 4, 30)},
        {QDate(2008, 1, 31), 1, UnidadeMeses, 2, QDate(2008, 2, 29)},
        {QDate(2008, 2, 29), 12, UnidadeMeses, 2, QDate(2009, 2, 28)},
        {QDate(2008, 2, 29), 12, UnidadeMeses, 5, QDate(2012, 2, 29)},
        {QDate(2009, 1, 10), 1, UnidadeMeses, 12, QDate(2009, 12, 10)},
        {QDate(2009, 3, 1), 15, UnidadeDias, 3, QDate(2009, 3, 31)},
        {QDate(2008, 12, 31), 30, UnidadeDias, 3, QDate(2009, 3, 1)},
        {QDate(2009, 1, 31), 0, UnidadeMeses, 5, QDate(2009, 1, 31)},
        {QDate(2009, 1, 31), 0, UnidadeDias, 5, QDate(2009, 1, 31)},
        {QDate(2009, 1, 31), 5, -1, 5, QDate(2009, 1, 31)},
        {QDate(2009, 1, 31), 5, 2, 5, QDate(2009, 1, 31)},
        // Past what the register and the printer's date frame hold.
        {QDate(9999, 12, 31), 1, UnidadeDias, 2, QDate()},
        {QDate(2009, 1, 31), 9999, UnidadeMeses, 1000, QDate()},
        {QDate(2009, 1, 31), INT_MAX, UnidadeDias, 1000, QDate()},
    };
    for (const auto &caso : casos) {
        const PlanoParcelas p = plano(caso.k, caso.inicial, caso.periodo, caso.unidade);
        EXPECT_EQ(p.parcelas.back().data, caso.esperada)
            << caso.inicial.toString(Qt::ISODate).toStdString() << " + " << caso.k - 1 << " x " << caso.periodo
            << " unit " << caso.unidade;
    }
    EXPECT_EQ(unidadePeriodo(QStringLiteral("Dia(s)")), UnidadeDias);
    EXPECT_EQ(unidadePeriodo(QStringLiteral("Mês(es)")), UnidadeMeses);
    EXPECT_EQ(unidadePeriodo(QStringLiteral("Meses")), -1);
}

TEST(PlanoParcelas, LabelsAndChequeNumbers)
{
    const auto numeros = [](std::optional<int> inicial) {
        return planoParcelas(reais("10,00"), 3, QDate(2009, 1, 1), 1, UnidadeMeses, inicial).parcelas.back().numeroCheque;
    };
    EXPECT_EQ(numeros(500), 502);
    EXPECT_EQ(numeros(1), 3);
    EXPECT_EQ(numeros(INT_MAX), std::int64_t(INT_MAX) + 2);
    EXPECT_EQ(numeros(0), std::nullopt);
    EXPECT_EQ(numeros(-7), std::nullopt);
    EXPECT_EQ(numeros(std::nullopt), std::nullopt);

    const PlanoParcelas mil = plano(MaxParcelas);
    EXPECT_EQ(mil.parcelas[2].rotulo, QStringLiteral("3ª"));
    EXPECT_EQ(mil.parcelas.back().rotulo, QStringLiteral("1000ª"));
}

TEST(PlanoParcelas, PlacesInstallmentsInColumnPairsOfTenRows)
{
    const struct {
        int n;
        int colunas;
        int k, linha, coluna; // where installment k sits
    } casos[] = {
        {1, 2, 1, 0, 0}, {10, 4, 10, 9, 0}, {11, 4, 11, 0, 2}, {20, 6, 20, 9, 2},
        {25, 6, 21, 0, 4}, {25, 6, 25, 4, 4}, {1000, 202, 1000, 9, 198},
    };
    for (const auto &caso : casos) {
        const PlanoParcelas p = plano(caso.n);
        const Parcela &parcela = p.parcelas[caso.k - 1];
        EXPECT_EQ(p.colunas, caso.colunas) << caso.n;
        EXPECT_EQ(parcela.linha, caso.linha) << caso.n << " " << caso.k;
        EXPECT_EQ(parcela.coluna, caso.coluna) << caso.n << " " << caso.k;
        EXPECT_EQ(p.naCelula(caso.linha, caso.coluna), &parcela);
        EXPECT_EQ(p.naCelula(caso.linha, caso.coluna + 1), &parcela);
    }
    const PlanoParcelas vinte = plano(20);
    EXPECT_EQ(vinte.naCelula(0, 4), nullptr);
    EXPECT_EQ(vinte.naCelula(0, 5), nullptr);
    EXPECT_EQ(vinte.naCelula(10, 0), nullptr);
    EXPECT_EQ(vinte.naCelula(-1, 0), nullptr);
    EXPECT_EQ(plano(25).naCelula(5, 4), nullptr);
}

TEST(PlanoParcelas, NothingToSplitGivesAnEmptyPlan)
{
    for (int n : {0, -1, MaxParcelas + 1}) {
        EXPECT_TRUE(plano(n).parcelas.empty()) << n;
        EXPECT_EQ(plano(n).colunas, 2) << n;
    }
    const QDate d(2009, 1, 1);
    EXPECT_TRUE(planoParcelas(Money::fromUnits(-100), 2, d, 1, UnidadeMeses, {}).parcelas.empty());
    EXPECT_TRUE(planoParcelas(Money::fromUnits(Money::MaxUnits), 2, d, 1, UnidadeMeses, {}).parcelas.empty());
}
