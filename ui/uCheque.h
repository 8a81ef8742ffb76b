#pragma once

#include "JanelaModal.h"

#include <QDateTime>

#include <memory>

class DataLonga;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct Parcela;
struct RegistroCheque;
struct RegistroPreDatado;

namespace Ui {
class TfrmCheque;
}

// Shows one cheque on a cheque face and prints it, prints its copy or
// cancels it. The caller fills it (preenche(), then what differs), runs it
// with executa() and reads the result: 1 when a cheque print succeeded while
// it was shown (dtpDataImpressao then holds the moment of the last one),
// -1 otherwise. The one database call of its own is the cancel.
class TfrmCheque : public JanelaModal {
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

    // Fills the face and the data below it from cheque: the value, payee,
    // bank, city, agency, account, number and date; the clearing type, cost
    // centre, description and third-party tick; the key the cancel acts on,
    // the cancel enabled unless the cheque is cancelled or has no key of its
    // own (an installment of a series); a printed cheque's print date, with
    // "Reimprimir". parcela is an installment's label ("3ª/12"), empty for a
    // single cheque. The caption and HabilitaImpressao() stay the caller's.
    void preenche(const RegistroCheque &cheque, const QString &parcela = QString());
    // One installment of a series, as preenche() fills a cheque, captioned
    // "Visualização do cheque de R$ 100,00 referente a 3ª parcela de 12";
    // numParcelas is the count as the caller shows it.
    void preencheParcela(const RegistroPreDatado &serie, const Parcela &parcela, const QString &numParcelas);
    // An installment's preview only shows: no print, copy or cancel.
    void apenasMostra();

    void HabilitaImpressao(bool habilita);
    // Shows the last print moment and offers "Reimprimir".
    void IndicaImpressao(const QDateTime &momento);

    // Closing always yields 1 (printed) or -1.
    void done(int resultado) override;

protected:
    void FormShow() override;

private:
    void btImprimirClick();
    void btImprimirCopiaClick();
    void btCancelarCheque1Click();

    std::unique_ptr<Ui::TfrmCheque> ui;
    QLabel *lblValorExtenso;
    QLabel *lblData;
    QString valorTexto_;
    bool impresso_ = false;
};
