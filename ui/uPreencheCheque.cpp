#include "uPreencheCheque.h"
#include "ui_uPreencheCheque.h"

#include "CamposObrigatorios.h"
#include "FiltroTeclas.h"
#include "ParBanco.h"
#include "uCentroCusto.h"
#include "uCompensacao.h"
#include "uDMNorvelCheque.h"
#include "uDeclaracoes.h"
#include "uFavorecido.h"

namespace {

const QString ErroGravacao = QStringLiteral("Erro ao salvar os dados do cheque: ");
// The caption of the two new-cheque questions differs from the program's.
const QString TituloNovo = QStringLiteral("Norvl Cheque");

} // namespace

TfrmPreencherCheque::TfrmPreencherCheque(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmPreencherCheque>())
{
    ui->setupUi(this);
    setFixedSize(size());

    auto &dm = dados();
    new ParBanco(ui->edtNumBanco, ui->edtBanco, dm);
    ligaCadastrosDoCheque(dm, ui->edtNomeFavorecido, ui->edtCentroCusto, ui->edtTipoCompensacao);
    filtraDigitos(ui->edtAgencia);
    filtraDigitos(ui->edtNumCheque);
    filtraConta(ui->edtConta);
    ui->edtValor->saiPor(regrasSaida());

    liga(ui->edtValor, &CaixaValor::formatado, &TfrmPreencherCheque::edtValorExit);
    liga(ui->chkJaImpresso, &QCheckBox::toggled, &TfrmPreencherCheque::chkJaImpressoClick);
    comando(ui->btImprimir, &TfrmPreencherCheque::btImprimirClick);
    comando(ui->btImprimirCopia, &TfrmPreencherCheque::btImprimirCopiaClick);
    comando(ui->btNovoCheque, &TfrmPreencherCheque::btNovoChequeClick);
    comando(ui->btBaseAntigo, &TfrmPreencherCheque::btBaseAntigoClick);
    comando(ui->btSair, &TfrmPreencherCheque::btSairClick);
    // Tool buttons take no focus: opening a registry leaves no box.
    liga(ui->ToolButton1, &QToolButton::clicked, &TfrmPreencherCheque::ToolButton1Click);
    liga(ui->ToolButton2, &QToolButton::clicked, &TfrmPreencherCheque::ToolButton2Click);
    liga(ui->ToolButton3, &QToolButton::clicked, &TfrmPreencherCheque::ToolButton3Click);
}

TfrmPreencherCheque::~TfrmPreencherCheque() = default;

void TfrmPreencherCheque::FormShow()
{
    LimpaTela();
    ui->edtCidade->setText(contexto().cidadePadrao);
}

void TfrmPreencherCheque::LimpaTela()
{
    ui->edtBanco->limpa();
    for (QLineEdit *caixa : {ui->edtAgencia, ui->edtConta, static_cast<QLineEdit *>(ui->edtValor), ui->edtCidade,
                             ui->edtNumCheque})
        caixa->clear();
    for (CaixaBusca *escolha : {ui->edtNomeFavorecido, ui->edtCentroCusto, ui->edtTipoCompensacao})
        escolha->limpa();
    ui->lblValorPorExtenso->setText(QString(200, u'_'));
    ui->chkChequeTerceiro->setChecked(false);
    ui->chkJaImpresso->setChecked(false);
    ui->dtpDataCheque->setDateTime(QDateTime::currentDateTime());
}

void TfrmPreencherCheque::edtValorExit()
{
    ui->lblValorPorExtenso->setText(QString::fromStdString(ui->edtValor->valor()->extenso()));
}

void TfrmPreencherCheque::chkJaImpressoClick()
{
    ui->dtpDataImpressao->setVisible(ui->chkJaImpresso->isChecked());
}

bool TfrmPreencherCheque::ValidaCampos()
{
    return camposPreenchidos({
        {ui->edtBanco, QStringLiteral("Banco")},
        {ui->edtValor, QStringLiteral("Valor")},
        {ui->edtAgencia, QStringLiteral("Agencia")},
        {ui->edtConta, QStringLiteral("Conta")},
        {ui->edtCidade, QStringLiteral("Cidade")},
    });
}

bool TfrmPreencherCheque::GravaCheque()
{
    RegistroCheque cheque;
    // A bank name is shown (ValidaCampos), so it has its key.
    cheque.idBanco = ui->edtBanco->chaveInteira().value();
    cheque.agencia = ui->edtAgencia->text();
    cheque.conta = ui->edtConta->text();
    cheque.numCheque = ui->edtNumCheque->text();
    cheque.favorecido = ui->edtNomeFavorecido->currentText();
    cheque.cidade = ui->edtCidade->text();
    // Formatted before (btImprimirClick), so an amount.
    cheque.valor = ui->edtValor->valor().value();
    cheque.dataEmissao = ui->dtpDataCheque->date();
    if (ui->chkJaImpresso->isChecked())
        cheque.dataImpressao = ui->dtpDataImpressao->date();
    cheque.jaImpresso = ui->chkJaImpresso->isChecked();
    cheque.terceiro = ui->chkChequeTerceiro->isChecked();
    cheque.idCentroCusto = ui->edtCentroCusto->chaveInteira();
    cheque.idCompensacao = ui->edtTipoCompensacao->chaveInteira();
    cheque.descricao = ui->edtDescricao->text();
    const WriteResult gravado = dados().insereCheque(cheque, ErroGravacao);
    if (!gravado) {
        mostra(gravado.message, MessagePresenter::Icon::Error);
        return false;
    }
    idCheque_ = gravado.chave;
    return true;
}

void TfrmPreencherCheque::btImprimirClick()
{
    if (!regrasSaida().saiDaCaixaEditada(ui->btImprimir) || !ValidaCampos())
        return;
    // The value is stored and printed formatted even when its box was never
    // left (its window was not active while it was typed in).
    if (ui->edtValor->formata() == RegrasSaida::Resultado::Recusado) {
        ui->edtValor->setFocus();
        return;
    }
    if (!GravaCheque())
        return;
    // The row stays stored, not marked printed, when the printer fails.
    if (!ImprimeChequeImpressora(ui->edtNumBanco->text(), ui->edtNomeFavorecido->currentText(),
                                 ui->edtCidade->text(), ui->edtValor->valor().value(), ui->dtpDataCheque->date(),
                                 contexto().portaCOM))
        return;
    const WriteResult marcado = dados().marcaChequeImpresso(idCheque_, QDate::currentDate(), ErroGravacao);
    if (!marcado)
        mostra(marcado.message, MessagePresenter::Icon::Error);
    travaTela(true);
    ui->chkJaImpresso->setChecked(true);
    ui->btImprimirCopia->setEnabled(true);
    ui->btBaseAntigo->setEnabled(true);
    mostra(QStringLiteral("Comando enviado para impressora com sucesso !\n"
                          "Para efetuar o cancelamento do cheque utilize o menu: \"Consultar->Cheque Avulso...\""),
           MessagePresenter::Icon::Information);
}

void TfrmPreencherCheque::travaTela(bool travada)
{
    for (QWidget *controle : std::initializer_list<QWidget *>{
             ui->edtNumBanco, ui->edtBanco, ui->edtValor, ui->edtAgencia, ui->edtConta, ui->edtNumCheque,
             ui->edtNomeFavorecido, ui->edtCidade, ui->dtpDataCheque, ui->edtDescricao, ui->edtCentroCusto,
             ui->edtTipoCompensacao, ui->chkChequeTerceiro, ui->chkJaImpresso, ui->dtpDataImpressao,
             ui->btImprimir})
        controle->setEnabled(!travada);
}

void TfrmPreencherCheque::btImprimirCopiaClick()
{
    if (!regrasSaida().saiDaCaixaEditada(ui->btImprimirCopia))
        return;
    const std::optional<Money> valor = LeValorCheque(ui->edtValor->text());
    if (valor
        && ImprimeCopiaCheque(ui->edtNumBanco->text(), ui->edtBanco->currentText(), ui->edtAgencia->text(),
                              ui->edtNomeFavorecido->currentText(), ui->edtCidade->text(), ui->edtNumCheque->text(),
                              ui->edtConta->text(), *valor, ui->edtDescricao->text(), QString(),
                              ui->dtpDataCheque->date(), contexto().portaCOM))
        mostra(QStringLiteral("Comando enviado para impressora com sucesso"), MessagePresenter::Icon::Information);
}

void TfrmPreencherCheque::novoCheque(bool mantemBase)
{
    if (!mantemBase) {
        ui->edtBanco->limpa();
        for (QLineEdit *caixa : {ui->edtNumBanco, static_cast<QLineEdit *>(ui->edtValor), ui->edtAgencia,
                                 ui->edtConta, ui->edtDescricao})
            caixa->clear();
    }
    ui->edtNumCheque->clear();
    for (CaixaBusca *escolha : {ui->edtNomeFavorecido, ui->edtCentroCusto, ui->edtTipoCompensacao})
        escolha->limpa();
    ui->chkChequeTerceiro->setChecked(false);
    ui->chkJaImpresso->setChecked(false);
    travaTela(false);
}

void TfrmPreencherCheque::btNovoChequeClick()
{
    if (!regrasSaida().saiDaCaixaEditada(ui->btNovoCheque))
        return;
    if (pergunta(QStringLiteral("Você realmente deseja criar um novo cheque ? Caso o cheque não tenha sido "
                                "impresso todos os dados serão perdidos !"),
                 TituloNovo))
        novoCheque(false);
}

void TfrmPreencherCheque::btBaseAntigoClick()
{
    if (!regrasSaida().saiDaCaixaEditada(ui->btBaseAntigo))
        return;
    const bool mantem = pergunta(QStringLiteral("Você deseja criar um novo cheque com base neste?"), TituloNovo);
    if (!mantem)
        ui->edtCidade->clear();
    novoCheque(mantem);
}

void TfrmPreencherCheque::btSairClick()
{
    if (pergunta(QStringLiteral("Deseja realmente sair?")))
        close();
}

void TfrmPreencherCheque::ToolButton1Click() { emit abreJanela(new TfrmFavorecido(contexto())); }

void TfrmPreencherCheque::ToolButton2Click() { emit abreJanela(new TfrmCentroCusto(contexto())); }

void TfrmPreencherCheque::ToolButton3Click() { emit abreJanela(new TfrmCompensacao(contexto())); }
