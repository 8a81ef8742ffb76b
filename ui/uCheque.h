#pragma once

#include "Contexto.h"

#include <QDateTime>
#include <QDialog>

#include <memory>

class DataLonga;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TfrmCheque;
}

// Shows one cheque on a cheque face and prints it, prints its copy or
// cancels it. The caller fills every value, runs it modally through the
// message seam and reads the result: 1 when a cheque print succeeded while
// it was shown (dtpDataImpressao then holds the moment of the last one),
// -1 otherwise. The one database call of its own is the cancel.
class TfrmCheque : public QDialog {
    Q_OBJECT

public:
    TfrmCheque(const Contexto &contexto, QWidget *parent);
    ~TfrmCheque() override;

    // What the caller fills before showing it.
    QLabel *lblValor;  // "R$ " and the amount text
    QLabel *lblFavorecido;
    QLabel *lblNumBanco;
    QLabel *lblBanco;
    QLabel *lblCidade;
    QLabel *lblAgencia;
    QLabel *lblConta;
    QLabel *lblNumCheque;
    QLabel *lblParcela;
    QLineEdit *edtTipoCompensacao;
    QLineEdit *edtCentroCusto;
    QLineEdit *edtDescricao;
    QCheckBox *chkChequeTerceiro;
    QLabel *lblDtImpressao;
    DataLonga *dtpDataImpressao;
    QPushButton *btImprimir;
    QPushButton *btImprimirCopia;
    QPushButton *btCancelarCheque;
    QPushButton *btSair;
    QDateTime DataCheque;
    int IdCheque = 0;

    void HabilitaImpressao(bool habilita);
    // Shows the last print moment and offers "Reimprimir".
    void IndicaImpressao(const QDateTime &momento);

    // Closing always yields 1 (printed) or -1.
    void done(int resultado) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void btImprimirClick();
    void btImprimirCopiaClick();
    void btCancelarCheque1Click();

    std::unique_ptr<Ui::TfrmCheque> ui;
    const Contexto &contexto_;
    QLabel *lblValorExtenso;
    QLabel *lblData;
    QString valorTexto_;
    bool impresso_ = false;
    bool mostrado_ = false;
};
