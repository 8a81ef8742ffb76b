#pragma once

#include "JanelaConsulta.h"
#include "Registros.h"

#include <memory>

namespace Ui {
class TfrmConsultaPreDatado;
}

// The post-dated series whose first date is one date or lies within a
// period: each can be opened in the series viewer to preview, print or
// cancel it, and the list can be turned into a report.
class TfrmConsultaPreDatado : public JanelaConsulta {
    Q_OBJECT

public:
    explicit TfrmConsultaPreDatado(const Contexto &contexto, QWidget *parent = nullptr);
    ~TfrmConsultaPreDatado() override;

    // The data set the report runs over: the query run last.
    norvel::db::DbQuery *rvDSPredatado() const { return consultaMostrada(); }

private:
    void visualiza() override { AbreVisualizacao(); }

    RegistroPreDatado LePreDatadoSelecionado() const;
    void AbreVisualizacao();

    std::unique_ptr<Ui::TfrmConsultaPreDatado> ui;
};
