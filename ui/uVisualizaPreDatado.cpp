#include "uVisualizaPreDatado.h"
#include "ui_uVisualizaPreDatado.h"

#include "GradeParcelas.h"
#include "uCheque.h"
#include "uDMNorvelCheque.h"
#include "uImprimePreDatados.h"

TfrmVisualizaPreDatado::TfrmVisualizaPreDatado(const Contexto &contexto, QWidget *parent)
    : JanelaModal(contexto, parent), ui(std::make_unique<Ui::TfrmVisualizaPreDatado>())
{
    ui->setupUi(this);
    setFixedSize(size());
    liga(ui->grdParcelas, &QTableWidget::currentCellChanged, &TfrmVisualizaPreDatado::AtualizaInfoParcela);
    liga(ui->grdParcelas, &QTableWidget::cellDoubleClicked, &TfrmVisualizaPreDatado::VisualizaParcela);
    liga(ui->btVisualizar, &QPushButton::clicked, &TfrmVisualizaPreDatado::VisualizaParcela);
    liga(ui->btImprimir, &QPushButton::clicked, &TfrmVisualizaPreDatado::ImprimePreDatado);
    liga(ui->btCancelaPredatado, &QPushButton::clicked, &TfrmVisualizaPreDatado::CancelaPreDatado);
    connect(ui->btSair, &QPushButton::clicked, this, &QDialog::close);
}

TfrmVisualizaPreDatado::~TfrmVisualizaPreDatado() = default;

void TfrmVisualizaPreDatado::preenche(const RegistroPreDatado &serie)
{
    serie_ = serie;
    ui->edtDescricao->setText(serie.descricao);
    ui->edtCentroCusto->setText(serie.nomeCentroCusto);
    ui->edtCompensacao->setText(serie.nomeCompensacao);
    ui->chkChequeTerceiro->setChecked(serie.terceiro);
    ui->btCancelaPredatado->setEnabled(serie.status != 1);
    if (serie.jaImpresso && serie.dataImpressao)
        mostraImpressao(serie.dataImpressao->startOfDay(), QStringLiteral("Reimprimir Cheques"));
    ui->edtValor->setText(serie.valor.toText());
    ui->edtFavorecido->setText(serie.favorecido);
    ui->edtCidade->setText(serie.cidade);
    ui->edtConta->setText(serie.conta);
    ui->edtAgencia->setText(serie.agencia);
    ui->edtNumCheque->setText(serie.numInicialCheque);
    ui->edtNumBanco->setText(serie.numBanco);
    ui->edtNumParcelas->setText(QString::number(serie.numParcelas));
    ui->edtValorPeriodo->setText(QString::number(serie.valorPeriodoImpressao));
    ui->edtBanco->setText(serie.nomeBanco);
    ui->edtPeriodo->setText(serie.periodoImpressao);
    ui->dtpDataCheque->setDate(serie.dataInicialEmissao);
}

void TfrmVisualizaPreDatado::FormShow()
{
    ui->grdParcelas->mostra(planoDaSerie(serie_));
    AtualizaInfoParcela();
}

void TfrmVisualizaPreDatado::AtualizaInfoParcela()
{
    const Parcela *parcela = ui->grdParcelas->parcelaAtual();
    ui->lblDadosCheque->setVisible(parcela);
    ui->btVisualizar->setEnabled(parcela);
    if (parcela)
        ui->lblDadosCheque->setText(GradeParcelas::informacao(*parcela, ui->edtNumParcelas->text()));
}

// A series never printed keeps the viewer's print and copy; the viewer's
// cancel acts on a single cheque, which an installment is not, so it is
// never offered here: the series is cancelled as a whole by this window.
void TfrmVisualizaPreDatado::VisualizaParcela()
{
    const Parcela *parcela = ui->grdParcelas->parcelaAtual();
    if (!parcela)
        return;
    TfrmCheque visor(contexto(), this);
    visor.preencheParcela(serie_, *parcela, ui->edtNumParcelas->text());
    if (serie_.jaImpresso)
        visor.apenasMostra();
    else
        visor.btCancelarCheque->hide();
    visor.HabilitaImpressao(ui->btImprimir->isEnabled());
    if (visor.executa() == 1)
        MarcaImpresso();
}

void TfrmVisualizaPreDatado::ImprimePreDatado()
{
    TfrmImprimePreDatados impressao(contexto(), this);
    impressao.preenche(serie_);
    if (impressao.executa() == QDialog::Accepted)
        MarcaImpresso();
}

void TfrmVisualizaPreDatado::MarcaImpresso()
{
    const QDateTime agora = QDateTime::currentDateTime();
    const WriteResult marcado = dados().marcaPreDatadoImpresso(
        serie_.idPreDatado, agora.date(), QStringLiteral("Erro ao atualizar a data de impressão: "));
    if (!marcado) {
        mostra(marcado.message);
        return;
    }
    serie_.jaImpresso = true;
    serie_.dataImpressao = agora.date();
    mostraImpressao(agora, QStringLiteral("Reimprimir cheques"));
}

void TfrmVisualizaPreDatado::mostraImpressao(const QDateTime &momento, const QString &legenda)
{
    ui->dtpImpressao->setDateTime(momento);
    ui->dtpImpressao->show();
    ui->lblDataImpressao->show();
    ui->btImprimir->setText(legenda);
}

void TfrmVisualizaPreDatado::CancelaPreDatado()
{
    if (!pergunta(QStringLiteral("Uma vez \"Cancelado\" o cheque não pode mas voltar ao Status de \"Válido\". "
                                 "Deseja realmente cancelar o cheque ?")))
        return;
    const WriteResult cancelado =
        dados().cancelaPreDatado(serie_.idPreDatado, QStringLiteral("Erro ao cancelar o cheque: "));
    if (!cancelado) {
        mostra(cancelado.message);
        return;
    }
    serie_.status = 1;
    ui->btCancelaPredatado->setEnabled(false);
}
