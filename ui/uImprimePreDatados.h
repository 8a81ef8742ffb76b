#pragma once

#include "JanelaModal.h"
#include "PlanoParcelas.h"

#include <QDate>

#include <chrono>
#include <memory>

class QLabel;
struct RegistroPreDatado;

namespace Ui {
class TfrmImprimePreDatados;
}

// Prints the cheques of a post-dated series one installment after the
// other, the user placing each form in the printer, and the copy of the
// installment shown. The caller fills the series' captions and hands over
// its installment plan (preenche() does both from a stored series), runs it
// with executa() and reads the result: Accepted when at least one cheque was
// printed while it was shown, Rejected otherwise.
//
//     TfrmImprimePreDatados run(contexto(), this);
//     run.preenche(serie);
//     if (run.executa() == QDialog::Accepted) MarcaImpresso();
class TfrmImprimePreDatados : public JanelaModal {
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

    // The captions and the plan of a stored series.
    void preenche(const RegistroPreDatado &serie);

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

private:
    void FormShow() override;
    void btAnteriorClick();
    void btProximoClick();
    void btImprimirClick();
    void ImprimeParcelas();
    void ImprimeCopiaParcela();
    bool imprimeParcelaAtual();
    void aguardaImpressora();

    std::unique_ptr<Ui::TfrmImprimePreDatados> ui;
    QLabel *lblValor;
    QLabel *lblValorExtenso;
    QLabel *lblNumCheque;
    QLabel *lblParcela;
    QLabel *lblData;
    int parcelaAtual_ = 1;
    QDate DataParcela;
    bool impresso_ = false;
    bool imprimindo_ = false;
    std::chrono::milliseconds espera_{5000};
};
