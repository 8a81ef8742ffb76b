#include "uConsultas.h"
#include "ui_uConsultas.h"

#include "ColunasGrade.h"
#include "DataLonga.h"
#include "Relatorio.h"
#include "uCheque.h"
#include "uDMNorvelCheque.h"

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>

TfrmConsultas::TfrmConsultas(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmConsultas>())
{
    ui->setupUi(this);
    setFixedSize(size());
    liga(ui->rdData, &QRadioButton::clicked, &TfrmConsultas::rdDataClick);
    liga(ui->rdPeriodo, &QRadioButton::clicked, &TfrmConsultas::rdDataClick);
    comando(ui->btAtualizarConsulta, &TfrmConsultas::btAtualizarConsultaClick);
    liga(ui->grdCheques, &QTableView::doubleClicked, &TfrmConsultas::grdChequesDblClick);
    comando(ui->btVisualizar, &TfrmConsultas::grdChequesDblClick);
    comando(ui->brRelatorio, &TfrmConsultas::brRelatorioClick);
    ui->grdCheques->horizontalHeader()->setSectionsMovable(false);
}

TfrmConsultas::~TfrmConsultas() = default;

void TfrmConsultas::FormShow()
{
    ui->grpPeriodo->setEnabled(false);
    ui->dtpDataInicial->setEnabled(false);
    ui->dtpDataFinal->setEnabled(false);
    const QDateTime hoje = QDateTime::currentDateTime();
    for (DataLonga *data : {ui->dtpDataCheque, ui->dtpDataInicial, ui->dtpDataFinal})
        data->setDateTime(hoje);
    ExecutaConsulta();
}

void TfrmConsultas::rdDataClick()
{
    const bool porData = ui->rdData->isChecked();
    ui->grpData->setEnabled(porData);
    ui->dtpDataCheque->setEnabled(porData);
    ui->grpPeriodo->setEnabled(!porData);
    ui->dtpDataInicial->setEnabled(!porData);
    ui->dtpDataFinal->setEnabled(!porData);
}

void TfrmConsultas::btAtualizarConsultaClick() { ExecutaConsulta(); }

void TfrmConsultas::ExecutaConsulta()
{
    // The period is taken as it is: a start after the end lists nothing.
    norvel::db::DbQuery *consulta =
        ui->rdData->isChecked()
            ? &dados().consultaChequesPorData(ui->dtpDataCheque->date())
            : &dados().consultaChequesPorPeriodo(ui->dtpDataInicial->date(), ui->dtpDataFinal->date());
    rvDataSet_ = consulta;
    if (grade_ != consulta) {
        grade_ = consulta;
        configuraGrade(ui->grdCheques, *consulta,
                       {{QStringLiteral("NOMEBANCO"), QStringLiteral("Nome do Banco"), 170},
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
                        {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 260}});
        ui->grdCheques->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    }
}

RegistroCheque TfrmConsultas::LeChequeSelecionado() const
{
    return dados().chequeDaLinha(*grade_, ui->grdCheques->currentIndex().row());
}

void TfrmConsultas::grdChequesDblClick()
{
    const QModelIndex atual = ui->grdCheques->currentIndex();
    if (!atual.isValid() || atual.data(Qt::EditRole).isNull())
        return;
    VisualizaCheque();
    ExecutaConsulta();
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

void TfrmConsultas::brRelatorioClick()
{
    norvel::report::executaRelatorio(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Relatorio.rav")), *rvDataSet_,
        norvel::report::todosOsFormatos(), this);
}
