#include "uConsultaPreDatado.h"
#include "ui_uConsultaPreDatado.h"

#include "uDMNorvelCheque.h"
#include "uVisualizaPreDatado.h"

TfrmConsultaPreDatado::TfrmConsultaPreDatado(const Contexto &contexto, QWidget *parent)
    : JanelaConsulta(
          {
              .consultaPorData = &TdmNorvelCheque::consultaPreDatadosPorData,
              .consultaPorPeriodo = &TdmNorvelCheque::consultaPreDatadosPorPeriodo,
              // Titled by the query shown, which labels agency, initial
              // cheque number and clearing type each in its own way.
              .colunas = {{QStringLiteral("DESCRICAO"), QString(), 260},
                          {QStringLiteral("VALOR")},
                          {QStringLiteral("NUMPARCELAS")},
                          {QStringLiteral("PERIODO_PARCELAS")},
                          {QStringLiteral("STATUS1"), QStringLiteral("Status")},
                          {QStringLiteral("NUMBANCO")},
                          {QStringLiteral("NOMEBANCO"), QString(), 170},
                          {QStringLiteral("CONTACORRENTE")},
                          {QStringLiteral("NUMAGENCIA")},
                          {QStringLiteral("NUMINICIALCHEQUE")},
                          {QStringLiteral("DATAINICIALEMISSAO")},
                          {QStringLiteral("DATAIMPRESSAO")},
                          {QStringLiteral("FAVORECIDO"), QString(), 220},
                          {QStringLiteral("LOCALIDADE"), QString(), 140},
                          {QStringLiteral("TERCEIRO1")},
                          {QStringLiteral("JAIMPRESSO1")},
                          {QStringLiteral("NOMECENTROCUSTO")},
                          {QStringLiteral("NOMECOMPENSACAO")}},
              .arquivoRelatorio = QStringLiteral("RelatorioPredatado.rav"),
              .formatos = {norvel::report::FileFormat::Html, norvel::report::FileFormat::Text},
          },
          contexto, parent),
      ui(std::make_unique<Ui::TfrmConsultaPreDatado>())
{
    ui->setupUi(this);
    // Closed only: the frame the main window gives it has no minimise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    ligaControles({ui->rdData, ui->rdPeriodo, ui->grpData, ui->dtpDataCheque, ui->grpPeriodo, ui->dtpDataInicial,
                   ui->dtpDataFinal, ui->btAtualizarConsulta, ui->grdPreDatados, ui->btVisualizar, ui->brRelatorio});
}

TfrmConsultaPreDatado::~TfrmConsultaPreDatado() = default;

RegistroPreDatado TfrmConsultaPreDatado::LePreDatadoSelecionado() const
{
    RegistroPreDatado serie = dados().preDatadoDaLinha(*consultaMostrada(), linhaAtual());
    // Stands for no payee, which the viewer shows as an empty box.
    if (serie.favorecido == QStringLiteral("Não Disponível"))
        serie.favorecido.clear();
    return serie;
}

void TfrmConsultaPreDatado::AbreVisualizacao()
{
    TfrmVisualizaPreDatado visor(contexto(), this);
    visor.preenche(LePreDatadoSelecionado());
    // What it printed, marked or cancelled it stored itself.
    visor.executa();
}
