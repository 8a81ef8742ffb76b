#pragma once

#include "JanelaModal.h"
#include "Registros.h"

#include <memory>

namespace Ui {
class TfrmVisualizaPreDatado;
}

// Shows one stored post-dated series, display only: its data, its
// installment grid by the installment plan and the debit date of each
// installment. From it the user previews an installment as a cheque, prints
// or reprints the series through the printing run, and cancels the series;
// it stores what it printed or cancelled itself. The caller fills it with
// preenche() and runs it with executa(); its result means nothing.
class TfrmVisualizaPreDatado : public JanelaModal {
    Q_OBJECT

public:
    TfrmVisualizaPreDatado(const Contexto &contexto, QWidget *parent);
    ~TfrmVisualizaPreDatado() override;

    // The series as the query read it: its boxes, its last print date with
    // "Reimprimir Cheques" when it was printed, the cancel disabled when it
    // is cancelled.
    void preenche(const RegistroPreDatado &serie);

protected:
    void FormShow() override;

private:
    void AtualizaInfoParcela();
    void VisualizaParcela();
    void ImprimePreDatado();
    void MarcaImpresso();
    void CancelaPreDatado();
    // The last print date shown, and the reprint caption.
    void mostraImpressao(const QDateTime &momento, const QString &legenda);

    std::unique_ptr<Ui::TfrmVisualizaPreDatado> ui;
    // The installments and the cheques are made from the series as stored,
    // never read back from the boxes.
    RegistroPreDatado serie_;
};
