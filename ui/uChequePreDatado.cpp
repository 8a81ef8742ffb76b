#include "uChequePreDatado.h"
#include "ui_uChequePreDatado.h"

#include "CamposObrigatorios.h"
#include "FiltroTeclas.h"
#include "GradeParcelas.h"
#include "NorvelApplication.h"
#include "ParBanco.h"
#include "Registros.h"
#include "uCentroCusto.h"
#include "uCheque.h"
#include "uCompensacao.h"
#include "uDMNorvelCheque.h"
#include "uFavorecido.h"
#include "uImprimePreDatados.h"

#include <QKeyEvent>

namespace {

// The caption of the new-series question differs from the program's.
const QString TituloNovo = QStringLiteral("Norvl Cheque");

} // namespace

TfrmChequePreDatado::TfrmChequePreDatado(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmChequePreDatado>())
{
    ui->setupUi(this);
    setFixedSize(size());

    auto &dm = dados();
    new ParBanco(ui->edtNumBanco, ui->edtBanco, dm);
    ligaCadastrosDoCheque(dm, ui->edtNomeFavorecido, ui->edtCentroCusto, ui->edtTipoCompensacao);
    // The agency and account may carry a check digit after a hyphen; the
    // initial cheque number is counted on from, so it takes digits only.
    filtraConta(ui->edtAgencia);
    filtraConta(ui->edtConta);
    filtraDigitos(ui->edtNumCheque);
    filtraDigitos(ui->edtNumParcelas);
    filtraDigitos(ui->edtValorPeriodo);
    ui->edtValor->setFormato(CaixaValor::Formato::PreDatado);
    ui->edtValor->saiPor(regrasSaida());
    ui->udNumParcelas->associa(ui->edtNumParcelas, MinParcelas, MaxParcelas);
    ui->udValorPeriodo->associa(ui->edtValorPeriodo, 1, 7200);
    ui->cmbPeriodo->addItems(textosUnidadePeriodo());
    ui->lblDadosCheque->clear();

    regrasSaida().registra(ui->edtNumParcelas, [this] {
        ValidaNumParcelas();
        return RegrasSaida::Resultado::Aceito;
    });
    regrasSaida().registra(ui->edtValorPeriodo, [this] {
        AtualizaInfoParcela();
        return RegrasSaida::Resultado::Aceito;
    });
    for (QLineEdit *caixa : {ui->edtNumParcelas, ui->edtValorPeriodo})
        caixa->installEventFilter(this);

    liga(ui->edtValor, &CaixaValor::formatado, &TfrmChequePreDatado::MontaParcelas);
    liga(ui->udNumParcelas, &UpDown::clicked, &TfrmChequePreDatado::MontaParcelas);
    liga(ui->udValorPeriodo, &UpDown::clicked, &TfrmChequePreDatado::AtualizaInfoParcela);
    liga(ui->cmbPeriodo, &QComboBox::currentIndexChanged, &TfrmChequePreDatado::AtualizaInfoParcela);
    liga(ui->dtpDataCheque, &QDateTimeEdit::dateChanged, &TfrmChequePreDatado::AtualizaInfoParcela);
    liga(ui->grdParcelas, &QTableWidget::currentCellChanged, &TfrmChequePreDatado::AtualizaInfoParcela);
    liga(ui->grdParcelas, &QTableWidget::cellDoubleClicked, &TfrmChequePreDatado::VisualizaParcela);
    liga(ui->chkJaImpresso, &QCheckBox::toggled, &TfrmChequePreDatado::chkJaImpressoClick);
    comando(ui->btVisualizar, &TfrmChequePreDatado::VisualizaParcela);
    comando(ui->btImprimir, &TfrmChequePreDatado::btImprimirClick);
    comando(ui->btNovoCheque, &TfrmChequePreDatado::btNovoChequeClick);
    comando(ui->btSair, &TfrmChequePreDatado::btSairClick);
    // Tool buttons take no focus: opening a registry leaves no box.
    liga(ui->ToolButton1, &QToolButton::clicked, &TfrmChequePreDatado::ToolButton1Click);
    liga(ui->ToolButton2, &QToolButton::clicked, &TfrmChequePreDatado::ToolButton2Click);
    liga(ui->ToolButton3, &QToolButton::clicked, &TfrmChequePreDatado::ToolButton3Click);
}

TfrmChequePreDatado::~TfrmChequePreDatado() = default;

void TfrmChequePreDatado::FormShow()
{
    const QDateTime agora = QDateTime::currentDateTime();
    ui->dtpDataCheque->setDateTime(agora);
    ui->dtpImpressao->setDateTime(agora);
    ui->edtCidade->setText(contexto().cidadePadrao);
    ui->cmbPeriodo->setCurrentIndex(UnidadeMeses);
    AtualizaInfoParcela();
}

bool TfrmChequePreDatado::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::KeyRelease) {
        const int tecla = static_cast<QKeyEvent *>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            if (objeto == ui->edtNumParcelas)
                executaProtegido([this] { ValidaNumParcelas(); });
            else if (objeto == ui->edtValorPeriodo)
                executaProtegido([this] { AtualizaInfoParcela(); });
        }
    }
    return JanelaFilha::eventFilter(objeto, evento);
}

void TfrmChequePreDatado::keyPressEvent(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_Escape)
        ui->btSair->click();
    else
        JanelaFilha::keyPressEvent(evento);
}

void TfrmChequePreDatado::chkJaImpressoClick()
{
    const bool impresso = ui->chkJaImpresso->isChecked();
    ui->lblDataImpressao->setVisible(impresso);
    ui->dtpImpressao->setVisible(impresso);
}

std::optional<RegistroPreDatado> TfrmChequePreDatado::serieDaTela() const
{
    RegistroPreDatado serie;
    if (!converteInteiro(ui->edtValorPeriodo->text(), serie.valorPeriodoImpressao))
        return std::nullopt;
    serie.idBanco = ui->edtBanco->chaveInteira().value_or(0);
    serie.numBanco = ui->edtNumBanco->text();
    serie.nomeBanco = ui->edtBanco->currentText();
    serie.agencia = ui->edtAgencia->text();
    serie.conta = ui->edtConta->text();
    serie.numInicialCheque = ui->edtNumCheque->text();
    serie.favorecido = ui->edtNomeFavorecido->currentText();
    serie.cidade = ui->edtCidade->text();
    serie.valor = ui->edtValor->valor().value_or(Money());
    serie.dataInicialEmissao = ui->dtpDataCheque->date();
    if (ui->chkJaImpresso->isChecked())
        serie.dataImpressao = ui->dtpImpressao->date();
    serie.jaImpresso = ui->chkJaImpresso->isChecked();
    serie.terceiro = ui->chkChequeTerceiro->isChecked();
    serie.idCentroCusto = ui->edtCentroCusto->chaveInteira();
    serie.nomeCentroCusto = ui->edtCentroCusto->currentText();
    serie.idCompensacao = ui->edtTipoCompensacao->chaveInteira();
    serie.nomeCompensacao = ui->edtTipoCompensacao->currentText();
    serie.numParcelas = ui->edtNumParcelas->text().toInt();
    serie.periodoImpressao = ui->cmbPeriodo->currentText();
    serie.descricao = ui->edtDescricao->text();
    return serie;
}

std::optional<PlanoParcelas> TfrmChequePreDatado::planoDaTela(Money total, int numParcelas) const
{
    std::optional<RegistroPreDatado> serie = serieDaTela();
    if (!serie)
        return std::nullopt;
    serie->valor = total;
    serie->numParcelas = numParcelas;
    return planoDaSerie(*serie);
}

std::optional<Parcela> TfrmChequePreDatado::parcelaAtual() const
{
    const Parcela *celula = ui->grdParcelas->parcelaAtual();
    if (!celula)
        return std::nullopt;
    // The grid's values with the dates the boxes currently give.
    const std::optional<PlanoParcelas> plano =
        planoDaTela(totalDaGrade_, int(ui->grdParcelas->plano().parcelas.size()));
    if (!plano)
        return std::nullopt;
    return plano->parcelas[std::size_t(celula->numero - 1)];
}

void TfrmChequePreDatado::MontaParcelas()
{
    if (ui->edtValor->text().isEmpty()) {
        mostra(QStringLiteral("Digite o valor total do parcelamento"), MessagePresenter::Icon::Warning);
        ui->edtValor->setFocus();
        return;
    }
    ui->grdParcelas->limpa();
    bool numero = false;
    const int numParcelas = ui->edtNumParcelas->text().toInt(&numero);
    if (!numero) {
        mostra(QStringLiteral("O valor digitado deve ser um número"), MessagePresenter::Icon::Error);
        return;
    }
    PreencheGradeParcelas(numParcelas);
}

void TfrmChequePreDatado::PreencheGradeParcelas(int numParcelas)
{
    const std::optional<Money> total = ui->edtValor->valor();
    if (!total) {
        NorvelApplication::relataErro(Money::invalidText(ui->edtValor->text()));
        return;
    }
    const std::optional<PlanoParcelas> plano = planoDaTela(*total, numParcelas);
    if (!plano)
        return;
    totalDaGrade_ = *total;
    ui->grdParcelas->mostra(*plano);
    AtualizaInfoParcela();
}

void TfrmChequePreDatado::ValidaNumParcelas()
{
    bool numero = false;
    const int numParcelas = ui->edtNumParcelas->text().toInt(&numero);
    // An empty box is MontaParcelas' to report.
    if (numero && (numParcelas < MinParcelas || numParcelas > MaxParcelas)) {
        mostra(QStringLiteral("O número de parcelas deve ser maior que 2 e menor que 1000"),
               MessagePresenter::Icon::Warning);
        ui->edtNumParcelas->setText(QString::number(numParcelas > MaxParcelas ? MaxParcelas : MinParcelas));
    }
    MontaParcelas();
}

void TfrmChequePreDatado::AtualizaInfoParcela()
{
    const std::optional<Parcela> parcela = parcelaAtual();
    if (!parcela) {
        ui->lblDadosCheque->hide();
        ui->btVisualizar->setEnabled(false);
        return;
    }
    ui->lblDadosCheque->setText(GradeParcelas::informacao(*parcela, ui->edtNumParcelas->text()));
    ui->lblDadosCheque->show();
    ui->btVisualizar->setEnabled(true);
}

void TfrmChequePreDatado::VisualizaParcela()
{
    const std::optional<Parcela> parcela = parcelaAtual();
    if (!parcela)
        return;
    // The period reads as a number, or there would be no installment.
    const RegistroPreDatado serie = serieDaTela().value();
    TfrmCheque visor(contexto(), this);
    visor.preencheParcela(serie, *parcela, ui->edtNumParcelas->text());
    visor.apenasMostra();
    visor.executa();
}

bool TfrmChequePreDatado::ValidaCampos()
{
    return camposPreenchidos({
        {ui->edtDescricao, QStringLiteral("Descrição")},
        {ui->edtBanco, QStringLiteral("Banco")},
        {ui->edtValor, QStringLiteral("Valor")},
        {ui->edtAgencia, QStringLiteral("Agencia")},
        {ui->edtConta, QStringLiteral("Conta")},
        {ui->edtCidade, QStringLiteral("Cidade")},
        {ui->edtNumParcelas, QStringLiteral("Núm. de Parcelas")},
        {ui->edtValorPeriodo, QStringLiteral("Periodo de Impressao")},
        {ui->edtNumCheque, QStringLiteral("Nº inicial do Cheque")},
    });
}

bool TfrmChequePreDatado::SalvaPreDatado(const RegistroPreDatado &serie)
{
    const WriteResult gravado =
        dados().inserePreDatado(serie, QStringLiteral("Erro ao salvar dados dos cheques pré-datados: "));
    if (!gravado) {
        mostra(gravado.message, MessagePresenter::Icon::Error);
        return false;
    }
    idPreDatado_ = gravado.chave;
    mostra(QStringLiteral("Dados salvos com sucesso!\nPara cancelar o pré-datado, utilize o menu: \n"
                          "\"Consultar->Cheques pré-datados...\""),
           MessagePresenter::Icon::Information);
    return true;
}

void TfrmChequePreDatado::MarcaImpresso()
{
    const WriteResult marcado = dados().marcaPreDatadoImpresso(
        idPreDatado_, QDate::currentDate(), QStringLiteral("Erro ao atualizar a data de impressão: "));
    if (!marcado)
        mostra(marcado.message);
}

void TfrmChequePreDatado::btImprimirClick()
{
    if (!regrasSaida().saiDaCaixaEditada(ui->btImprimir) || !ValidaCampos())
        return;
    // The total is stored and split formatted even when its box was never
    // left (its window was not active while it was typed in).
    if (ui->edtValor->formata() == RegrasSaida::Resultado::Recusado) {
        ui->edtValor->setFocus();
        return;
    }
    const std::optional<RegistroPreDatado> serie = serieDaTela();
    if (!serie)
        return;
    const bool salvo = SalvaPreDatado(*serie);
    // Stored once: a further series, or another try after a failed save,
    // starts with "Novo".
    travaTela(true);
    if (!salvo)
        return;
    // The run prints the series as stored, which the grid shows.
    TfrmImprimePreDatados impressao(contexto(), this);
    impressao.preenche(*serie);
    if (impressao.executa() == QDialog::Accepted)
        MarcaImpresso();
}

void TfrmChequePreDatado::travaTela(bool travada)
{
    // The arrows too: they would rebuild the grid of a stored series.
    for (QWidget *controle : std::initializer_list<QWidget *>{
             ui->edtDescricao, ui->edtCentroCusto, ui->edtTipoCompensacao, ui->chkChequeTerceiro,
             ui->chkJaImpresso, ui->dtpDataCheque, ui->edtNumBanco, ui->edtBanco, ui->edtValor, ui->edtAgencia,
             ui->edtConta, ui->edtNumCheque, ui->edtNomeFavorecido, ui->edtCidade, ui->edtNumParcelas,
             ui->udNumParcelas, ui->edtValorPeriodo, ui->udValorPeriodo, ui->cmbPeriodo, ui->btImprimir})
        controle->setEnabled(!travada);
}

void TfrmChequePreDatado::btNovoChequeClick()
{
    if (!regrasSaida().saiDaCaixaEditada(ui->btNovoCheque))
        return;
    if (!pergunta(QStringLiteral("Você realmente deseja criar um novo cheque ? Caso o cheque não tenha sido "
                                 "impresso todos os dados serão perdidos !"),
                  TituloNovo))
        return;
    for (QLineEdit *caixa : {ui->edtDescricao, ui->edtNumBanco, static_cast<QLineEdit *>(ui->edtValor),
                             ui->edtAgencia, ui->edtConta, ui->edtNumCheque})
        caixa->clear();
    for (CaixaBusca *escolha : {ui->edtBanco, ui->edtNomeFavorecido, ui->edtCentroCusto, ui->edtTipoCompensacao})
        escolha->limpa();
    ui->chkChequeTerceiro->setChecked(false);
    ui->chkJaImpresso->setChecked(false);
    ui->grdParcelas->limpa();
    ui->lblDadosCheque->clear();
    AtualizaInfoParcela();
    travaTela(false);
}

void TfrmChequePreDatado::btSairClick()
{
    if (pergunta(QStringLiteral("Você tem certeza que deseja sair?")))
        close();
}

void TfrmChequePreDatado::ToolButton1Click() { emit abreJanela(new TfrmCentroCusto(contexto())); }

void TfrmChequePreDatado::ToolButton2Click() { emit abreJanela(new TfrmCompensacao(contexto())); }

void TfrmChequePreDatado::ToolButton3Click() { emit abreJanela(new TfrmFavorecido(contexto())); }
