#pragma once

#include "Contexto.h"
#include "PlanoParcelas.h"

#include <QDate>
#include <QDialog>

#include <chrono>
#include <memory>

class QLabel;

namespace Ui {
class TfrmImprimePreDatados;
}

// Prints the cheques of a post-dated series one installment after the
// other, the user placing each form in the printer, and the copy of the
// installment shown. The caller fills the series' captions and hands over
// its installment plan, runs it modally through the message seam and reads
// the result: Accepted when at least one cheque was printed while it was
// shown, Rejected otherwise.
//
//     TfrmImprimePreDatados run(contexto(), this);
//     run.lblFavorecido->setText(...);   // and the other five captions
//     run.Plano = planoParcelas(...);
//     if (messages().runModal(run) == QDialog::Accepted) MarcaImpresso();
class TfrmImprimePreDatados : public QDialog {
    Q_OBJECT

public:
    TfrmImprimePreDatados(const Contexto &contexto, QWidget *parent);
    ~TfrmImprimePreDatados() override;

    // What the caller fills before showing it.
    QLabel *lblFavorecido;
    QLabel *lblNumBanco; // as typed: it selects the layout programmed into the printer
    QLabel *lblBanco;
    QLabel *lblCidade;
    QLabel *lblAgencia;
    QLabel *lblConta;
    // One cheque per installment; the run shows and prints them from here.
    PlanoParcelas Plano;

    // The installment shown, from 1.
    int ParcelaAtual() const { return parcelaAtual_; }
    // Whether a cheque was printed during this showing.
    bool Impresso() const { return impresso_; }

    // Shows installment k; outside 1..count it only sets the buttons.
    void MostraParcela(int k);

    // How long the run holds the window after each cheque while the printer
    // works (5 seconds); tests shorten it.
    void setEsperaImpressao(std::chrono::milliseconds espera) { espera_ = espera; }

    // Asks before closing; closing yields Accepted exactly when Impresso().
    // Refused while the run is printing.
    void done(int resultado) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void btAnteriorClick();
    void btProximoClick();
    void btImprimirClick();
    void ImprimeParcelas();
    void ImprimeCopiaParcela();
    bool imprimeParcelaAtual();
    void aguardaImpressora();

    std::unique_ptr<Ui::TfrmImprimePreDatados> ui;
    const Contexto &contexto_;
    QLabel *lblValor;
    QLabel *lblValorExtenso;
    QLabel *lblNumCheque;
    QLabel *lblParcela;
    QLabel *lblData;
    int parcelaAtual_ = 1;
    QDate DataParcela;
    bool impresso_ = false;
    bool imprimindo_ = false;
    bool mostrado_ = false;
    std::chrono::milliseconds espera_{5000};
};
