#pragma once

#include "JanelaFilha.h"
#include "Registros.h"

#include <memory>

namespace Ui {
class TfrmConsultas;
}

namespace norvel::db {
class DbQuery;
}

// The single cheques issued on one date or within a period: each can be
// opened in the cheque viewer to reprint, copy or cancel it, and the list
// can be turned into a report.
class TfrmConsultas : public JanelaFilha {
    Q_OBJECT

public:
    explicit TfrmConsultas(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmConsultas() override;

    // The data set the report runs over: the query run last.
    norvel::db::DbQuery *rvDataSet() const { return rvDataSet_; }

protected:
    void FormShow() override;

private:
    void rdDataClick();
    void btAtualizarConsultaClick();
    void grdChequesDblClick();
    void brRelatorioClick();

    void ExecutaConsulta();
    RegistroCheque LeChequeSelecionado() const;
    void VisualizaCheque();

    std::unique_ptr<Ui::TfrmConsultas> ui;
    norvel::db::DbQuery *rvDataSet_ = nullptr;
    norvel::db::DbQuery *grade_ = nullptr;
};
