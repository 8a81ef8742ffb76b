#pragma once

#include "JanelaFilha.h"
#include "PlanoParcelas.h"

#include <memory>
#include <optional>

struct RegistroPreDatado;

namespace Ui {
class TfrmChequePreDatado;
}

// Plans a series of post-dated cheques that pays one total in installments:
// the installment plan splits the total into the grid, "Imprimir Cheques"
// stores the series once and hands it to the printing run, which prints the
// cheques one by one. A new window for every "Cheque pré-datado" command.
class TfrmChequePreDatado : public JanelaFilha {
    Q_OBJECT

public:
    TfrmChequePreDatado(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmChequePreDatado() override;

    // The key of the series this window stored last; 0 before the first.
    int idPreDatado() const { return idPreDatado_; }

protected:
    void FormShow() override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    void keyPressEvent(QKeyEvent *evento) override;

private:
    void chkJaImpressoClick();
    void btImprimirClick();
    void btNovoChequeClick();
    void btSairClick();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();

    void MontaParcelas();
    void PreencheGradeParcelas(int numParcelas);
    void ValidaNumParcelas();
    void AtualizaInfoParcela();
    void VisualizaParcela();
    bool ValidaCampos();
    bool SalvaPreDatado(const RegistroPreDatado &serie);
    void MarcaImpresso();

    // The series as the boxes hold it; nullopt after the conversion error
    // when the period box holds no number.
    std::optional<RegistroPreDatado> serieDaTela() const;
    // The plan of total in numParcelas installments under the first date,
    // period, unit and initial cheque number on screen.
    std::optional<PlanoParcelas> planoDaTela(Money total, int numParcelas) const;
    // The installment of the grid's current cell under the dates on
    // screen; nullopt on an empty cell or without a period.
    std::optional<Parcela> parcelaAtual() const;
    // The boxes of the series locked once it was stored, or open for a new one.
    void travaTela(bool travada);

    std::unique_ptr<Ui::TfrmChequePreDatado> ui;
    int idPreDatado_ = 0;
    // The total the grid was split from.
    Money totalDaGrade_;
};
