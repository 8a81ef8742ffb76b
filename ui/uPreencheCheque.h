#pragma once

#include "JanelaFilha.h"

#include <memory>

namespace Ui {
class TfrmPreencherCheque;
}

// Fills in one single cheque, stores it in the register and prints it; then
// prints its copy or starts a new cheque, blank or on the same bank and
// account. A new window for every "Cheque avulso" command.
class TfrmPreencherCheque : public JanelaFilha {
    Q_OBJECT

public:
    TfrmPreencherCheque(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmPreencherCheque() override;

    // The key of the cheque this window stored last; 0 before the first.
    int idCheque() const { return idCheque_; }

protected:
    void FormShow() override;

private:
    void edtValorExit();
    void chkJaImpressoClick();
    void btImprimirClick();
    void btImprimirCopiaClick();
    void btNovoChequeClick();
    void btBaseAntigoClick();
    void btSairClick();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();

    void LimpaTela();
    bool ValidaCampos();
    bool GravaCheque();
    // The boxes of the cheque locked after a print, or open for a new one.
    void travaTela(bool travada);
    // A new cheque: the cheque number, the choices and both ticks go; with
    // mantemBase false also the bank, value, agency, account and description.
    void novoCheque(bool mantemBase);

    std::unique_ptr<Ui::TfrmPreencherCheque> ui;
    int idCheque_ = 0;
};
