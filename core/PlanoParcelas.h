#pragma once

#include "Money.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// The installment plan of a post-dated series: how its total splits into
// installment values, which day each installment is debited, which cheque
// number it carries and where it sits in the installment grid. The series
// entry window, the printing run and the series viewer all take every
// installment from here; none of them computes a value or a date itself.

// The period units, by their index in the unit list and by the texts the
// list shows and PERIODOIMPRESSAO stores.
constexpr int UnidadeDias = 0;
constexpr int UnidadeMeses = 1;
QStringList textosUnidadePeriodo(); // "Dia(s)", "Mês(es)"
// The index of a unit text: exactly "Dia(s)" or "Mês(es)", else -1 (no unit).
int unidadePeriodo(const QString &texto);

constexpr int MinParcelas = 2;    // what the installment count box offers
constexpr int MaxParcelas = 1000;
constexpr int LinhasGradeParcelas = 10;

struct Parcela {
    int numero = 0;   // from 1
    QString rotulo;   // "3ª"
    Money valor;      // whole centavos
    QDate data;       // null when it would fall outside 01/01/0001..31/12/9999
    std::optional<std::int64_t> numeroCheque; // may pass the range of the initial int
    // Grid cell of the label; the value text sits at coluna + 1.
    int linha = 0;
    int coluna = 0;

    QString textoValor() const; // "R$ 1250,00"
};

struct PlanoParcelas {
    std::vector<Parcela> parcelas; // in installment order
    // Label and value column pairs, one more than the installments fill, so
    // 20 installments leave the last pair empty.
    int colunas = 2;

    // The installment whose label or value occupies the cell, or nullptr.
    const Parcela *naCelula(int linha, int coluna) const;
};

// The plan of numParcelas installments of total from dataInicial.
//
// Values: P is total / numParcelas to the nearest 1/10000 real, then to the
// nearest centavo (halves to even both times); every installment but the
// first is P, and the first takes the whole difference, so that the values
// add up exactly to the total. When that difference would make the first
// installment negative (a few centavos over many installments), P is the
// quotient rounded down instead. A total with fractions of a centavo is
// split as it reads on screen, rounded to the centavo.
//
// Dates: installment k falls (k - 1) * valorPeriodo days (unit 0) or months
// (unit 1) after dataInicial, always counted from dataInicial; a day that
// the target month lacks becomes its last day. Any other unit, or a period
// of 0, puts every installment on dataInicial.
//
// Cheque numbers: numInicialCheque + k - 1; none at all when the initial
// number is missing or below 1.
//
// Empty, with one empty column pair, when numParcelas is outside
// 1..MaxParcelas or the total is negative or beyond Money::MaxUnits: there
// is nothing to split.
PlanoParcelas planoParcelas(Money total, int numParcelas, const QDate &dataInicial, int valorPeriodo,
                            int unidade, std::optional<int> numInicialCheque);
