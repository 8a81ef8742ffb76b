#include "uConsultas.h"
#include "ui_uConsultas.h"

#include "Relatorio.h"
#include "uCheque.h"
#include "uDMNorvelCheque.h"

TfrmConsultas::TfrmConsultas(const Contexto &contexto, QWidget *parent)
    : JanelaConsulta(
          {
              .consultaPorData = &TdmNorvelCheque::consultaChequesPorData,
              .consultaPorPeriodo = &TdmNorvelCheque::consultaChequesPorPeriodo,
              .colunas = {{QStringLiteral("NOMEBANCO"), QStringLiteral("Nome do Banco"), 170},
                          {QStringLiteral("NUMCHEQUE"), QStringLiteral("Número do Cheque")},
                          {QStringLiteral("NUMAGENCIA"), QStringLiteral("Agência")},
                          {QStringLiteral("CONTACORRENTE"), QStringLiteral("Conta Corrente")},
                          {QStringLiteral("VALOR"), QStringLiteral("Valor")},
                          {QStringLiteral("DATAEMISSAO"), QStringLiteral("Data de Emissão")},
                          {QStringLiteral("DATAIMPRESSAO"), QStringLiteral("Dt. de Impressão")},
                          {QStringLiteral("STATUS1"), QStringLiteral("Status")},
                          {QStringLiteral("FAVORECIDO"), QStringLiteral("Favorecido"), 220},
                          {QStringLiteral("LOCALIDADE"), QStringLiteral("Cidade"), 140},
                          {QStringLiteral("NOMECENTROCUSTO"), QStringLiteral("Centro de Custo")},
                          {QStringLiteral("NOMECOMPENSACAO"), QStringLiteral("Tipo de Compensação")},
                          {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 260}},
              .arquivoRelatorio = QStringLiteral("Relatorio.rav"),
              .formatos = norvel::report::todosOsFormatos(),
          },
          contexto, parent),
      ui(std::make_unique<Ui::TfrmConsultas>())
{
    ui->setupUi(this);
    ligaControles({ui->rdData, ui->rdPeriodo, ui->grpData, ui->dtpDataCheque, ui->grpPeriodo, ui->dtpDataInicial,
                   ui->dtpDataFinal, ui->btAtualizarConsulta, ui->grdCheques, ui->btVisualizar, ui->brRelatorio});
}

TfrmConsultas::~TfrmConsultas() = default;

RegistroCheque TfrmConsultas::LeChequeSelecionado() const
{
    return dados().chequeDaLinha(*consultaMostrada(), linhaAtual());
}

void TfrmConsultas::VisualizaCheque()
{
    const RegistroCheque cheque = LeChequeSelecionado();
    TfrmCheque visor(contexto(), this);
    visor.preenche(cheque);
    visor.HabilitaImpressao(true);
    visor.setWindowTitle(QStringLiteral("Visualização do cheque de ") + cheque.valor.toText());
    if (visor.executa() != 1)
        return;
    const WriteResult resultado =
        dados().marcaChequeImpresso(cheque.idCheque, visor.dtpDataImpressao->date(),
                                    QStringLiteral("Erro ao salvar nova data de impressão no cheque: "));
    if (!resultado)
        mostra(resultado.message);
    ExecutaConsulta();
}
