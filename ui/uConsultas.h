#pragma once

#include "JanelaConsulta.h"
#include "Registros.h"

#include <memory>

namespace Ui {
class TfrmConsultas;
}

// The single cheques issued on one date or within a period: each can be
// opened in the cheque viewer to reprint, copy or cancel it, and the list
// can be turned into a report.
class TfrmConsultas : public JanelaConsulta {
    Q_OBJECT

public:
    explicit TfrmConsultas(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmConsultas() override;

    // The data set the report runs over: the query run last.
    norvel::db::DbQuery *rvDataSet() const { return consultaMostrada(); }

private:
    void visualiza() override { VisualizaCheque(); }

    RegistroCheque LeChequeSelecionado() const;
    void VisualizaCheque();

    std::unique_ptr<Ui::TfrmConsultas> ui;
};
