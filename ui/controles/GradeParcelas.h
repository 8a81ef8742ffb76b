#pragma once

#include "PlanoParcelas.h"

#include <QTableWidget>

struct RegistroCheque;
struct RegistroPreDatado;

// The installment grid of a post-dated series: ten fixed rows, no headers,
// each installment's label ("3ª", a column 30 pixels wide) beside its value
// text ("R$ 100,00") in column pairs filled top to bottom, left to right,
// as the plan places them. Cells are selected, never edited.
class GradeParcelas : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int LarguraColuna = 68;
    static constexpr int LarguraRotulo = 30;
    static constexpr int AlturaLinha = 21;

    explicit GradeParcelas(QWidget *parent = nullptr);

    // Shows the plan's installments in as many columns as the plan asks for.
    void mostra(const PlanoParcelas &plano);
    // Empties every cell, keeping the columns; no installment is shown.
    void limpa();

    // The plan shown; empty after limpa().
    const PlanoParcelas &plano() const { return plano_; }
    // The installment of the current cell, label or value; nullptr when the
    // cell is empty or there is none.
    const Parcela *parcelaAtual() const;

    // The line that describes an installment of numParcelas (the count as
    // the caller shows it): "3ª parcela de 12 no valor de R$ 100,00 a ser
    // debitado em 04/07/2009".
    static QString informacao(const Parcela &parcela, const QString &numParcelas);

private:
    PlanoParcelas plano_;
};

// The plan of a series as stored: its total, count, first date, period,
// unit text and initial cheque number (none when the text is no number).
PlanoParcelas planoDaSerie(const RegistroPreDatado &serie);
// One installment of the series as a cheque of its own, for the cheque
// viewer: the installment's value, date and cheque number, the rest the
// series'. It has no key of its own.
RegistroCheque chequeDaParcela(const RegistroPreDatado &serie, const Parcela &parcela);
