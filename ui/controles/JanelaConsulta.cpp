#include "JanelaConsulta.h"

#include "DataLonga.h"
#include "Relatorio.h"
#include "uDMNorvelCheque.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

JanelaConsulta::JanelaConsulta(Descricao descricao, const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), d_(std::move(descricao))
{
}

void JanelaConsulta::ligaControles(const Controles &controles)
{
    c_ = controles;
    setFixedSize(size());
    liga(c_.rdData, &QRadioButton::clicked, &JanelaConsulta::rdDataClick);
    liga(c_.rdPeriodo, &QRadioButton::clicked, &JanelaConsulta::rdDataClick);
    comando(c_.btAtualizarConsulta, &JanelaConsulta::btAtualizarConsultaClick);
    liga(c_.grade, &QTableView::doubleClicked, &JanelaConsulta::btVisualizarClick);
    comando(c_.btVisualizar, &JanelaConsulta::btVisualizarClick);
    comando(c_.brRelatorio, &JanelaConsulta::brRelatorioClick);
    c_.grade->horizontalHeader()->setSectionsMovable(false);
}

void JanelaConsulta::FormShow()
{
    c_.grpPeriodo->setEnabled(false);
    c_.dtpDataInicial->setEnabled(false);
    c_.dtpDataFinal->setEnabled(false);
    const QDateTime hoje = QDateTime::currentDateTime();
    for (DataLonga *data : {c_.dtpDataCheque, c_.dtpDataInicial, c_.dtpDataFinal})
        data->setDateTime(hoje);
    ExecutaConsulta();
}

void JanelaConsulta::rdDataClick()
{
    const bool porData = c_.rdData->isChecked();
    c_.grpData->setEnabled(porData);
    c_.dtpDataCheque->setEnabled(porData);
    c_.grpPeriodo->setEnabled(!porData);
    c_.dtpDataInicial->setEnabled(!porData);
    c_.dtpDataFinal->setEnabled(!porData);
}

void JanelaConsulta::btAtualizarConsultaClick() { ExecutaConsulta(); }

void JanelaConsulta::ExecutaConsulta()
{
    // The period is taken as it is: a start after the end lists nothing.
    norvel::db::DbQuery &consulta =
        c_.rdData->isChecked()
            ? (dados().*d_.consultaPorData)(c_.dtpDataCheque->date())
            : (dados().*d_.consultaPorPeriodo)(c_.dtpDataInicial->date(), c_.dtpDataFinal->date());
    if (consulta_ == &consulta)
        return;
    consulta_ = &consulta;
    configuraGrade(c_.grade, consulta, d_.colunas);
    c_.grade->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

int JanelaConsulta::linhaAtual() const
{
    return c_.grade->currentIndex().row();
}

void JanelaConsulta::btVisualizarClick()
{
    const QModelIndex atual = c_.grade->currentIndex();
    if (!atual.isValid() || atual.data(Qt::EditRole).isNull())
        return;
    visualiza();
    ExecutaConsulta();
}

void JanelaConsulta::brRelatorioClick()
{
    // No query ran when the window's first search failed: nothing to report.
    if (!consulta_)
        return;
    norvel::report::executaRelatorio(QDir(QCoreApplication::applicationDirPath()).filePath(d_.arquivoRelatorio),
                                     *consulta_, d_.formatos, this);
}
