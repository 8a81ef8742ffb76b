#pragma once

#include "ColunasGrade.h"
#include "JanelaFilha.h"
#include "ReportEngine.h"

#include <QList>
#include <QString>

class DataLonga;
class QDate;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QTableView;
class TdmNorvelCheque;

namespace norvel::db {
class DbQuery;
}

// What the two query windows share: the search by one issue date or within a
// period, each beside its date pickers; the grid over the query run last; the
// selected row opened in the window's viewer, with the list run again after
// every viewing; and the report over the query run last. Each window says in
// a Descricao where it differs, hands over its controls and opens its viewer.
class JanelaConsulta : public JanelaFilha {
    Q_OBJECT

public:
    struct Descricao {
        // The data module's searches, by one date and by a period.
        norvel::db::DbQuery &(TdmNorvelCheque::*consultaPorData)(const QDate &);
        norvel::db::DbQuery &(TdmNorvelCheque::*consultaPorPeriodo)(const QDate &, const QDate &);
        // The grid's columns in order; an empty title shows the label the
        // query run last gives its field.
        QList<ColunaGrade> colunas;
        // The report file beside the program, and the file formats offered.
        QString arquivoRelatorio;
        QList<norvel::report::FileFormat> formatos;
    };

    struct Controles {
        QRadioButton *rdData;
        QRadioButton *rdPeriodo;
        QGroupBox *grpData;
        DataLonga *dtpDataCheque;
        QGroupBox *grpPeriodo;
        DataLonga *dtpDataInicial;
        DataLonga *dtpDataFinal;
        QPushButton *btAtualizarConsulta;
        QTableView *grade;
        QPushButton *btVisualizar;
        QPushButton *brRelatorio;
    };

protected:
    JanelaConsulta(Descricao descricao, const Contexto &contexto, QWidget *parent);
    // Called by the window once its form is set up; fixes its size.
    void ligaControles(const Controles &controles);

    // Opens the grid's current row in the window's viewer; the list is run
    // again afterwards.
    virtual void visualiza() = 0;

    void FormShow() override;
    // Runs the search the radio buttons choose.
    void ExecutaConsulta();
    // The query run last: shown by the grid and read by the report. Null
    // until the first run.
    norvel::db::DbQuery *consultaMostrada() const { return consulta_; }
    // The grid's current row in that query.
    int linhaAtual() const;

private:
    void rdDataClick();
    void btAtualizarConsultaClick();
    void btVisualizarClick();
    void brRelatorioClick();

    Descricao d_;
    Controles c_{};
    norvel::db::DbQuery *consulta_ = nullptr;
};
