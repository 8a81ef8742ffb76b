#include "uCheque.h"
#include "ui_uCheque.h"

#include "DataLonga.h"
#include "GradeParcelas.h"
#include "Money.h"
#include "uDMNorvelCheque.h"
#include "uDeclaracoes.h"

#include <exception>

TfrmCheque::TfrmCheque(const Contexto &contexto, QWidget *parent)
    : JanelaModal(contexto, parent), ui(std::make_unique<Ui::TfrmCheque>())
{
    ui->setupUi(this);
    setFixedSize(size());
    // The buttons' widths fit their captions in the face's narrow font.
    setFont(ui->FaceCheque1->font());
    const auto rotulo = [this](const char *nome) {
        return ui->FaceCheque1->findChild<QLabel *>(QLatin1String(nome));
    };
    lblValor = rotulo("lblValor");
    lblFavorecido = rotulo("lblFavorecido");
    lblNumBanco = rotulo("lblNumBanco");
    lblBanco = rotulo("lblBanco");
    lblCidade = rotulo("lblCidade");
    lblAgencia = rotulo("lblAgencia");
    lblConta = rotulo("lblConta");
    lblNumCheque = rotulo("lblNumCheque");
    lblParcela = rotulo("lblParcela");
    lblValorExtenso = rotulo("lblValorExtenso");
    lblData = rotulo("lblData");
    edtTipoCompensacao = ui->edtTipoCompensacao;
    edtCentroCusto = ui->edtCentroCusto;
    edtDescricao = ui->edtDescricao;
    chkChequeTerceiro = ui->chkChequeTerceiro;
    lblDtImpressao = ui->lblDtImpressao;
    dtpDataImpressao = ui->dtpDataImpressao;
    btImprimir = ui->btImprimir;
    btImprimirCopia = ui->btImprimirCopia;
    btCancelarCheque = ui->btCancelarCheque;
    btSair = ui->btSair;

    liga(btImprimir, &QPushButton::clicked, &TfrmCheque::btImprimirClick);
    liga(btImprimirCopia, &QPushButton::clicked, &TfrmCheque::btImprimirCopiaClick);
    liga(btCancelarCheque, &QPushButton::clicked, &TfrmCheque::btCancelarCheque1Click);
    connect(btSair, &QPushButton::clicked, this, &QDialog::close);
}

TfrmCheque::~TfrmCheque() = default;

void TfrmCheque::FormShow()
{
    impresso_ = false;
    lblData->setText(DataLonga::formata(DataCheque.date()));
    valorTexto_ = lblValor->text();
    if (valorTexto_.contains(QStringLiteral("R$")))
        valorTexto_.remove(0, 2);
    if (const std::optional<Money> valor = Money::parse(valorTexto_))
        lblValorExtenso->setText(QString::fromStdString(valor->extenso()));
}

void TfrmCheque::preenche(const RegistroCheque &cheque, const QString &parcela)
{
    lblValor->setText(QStringLiteral("R$ ") + cheque.valor.toText());
    lblFavorecido->setText(cheque.favorecido);
    lblNumBanco->setText(cheque.numBanco);
    lblBanco->setText(cheque.nomeBanco);
    lblCidade->setText(cheque.cidade);
    lblAgencia->setText(cheque.agencia);
    lblConta->setText(cheque.conta);
    lblNumCheque->setText(cheque.numCheque);
    lblParcela->setText(parcela);
    DataCheque = cheque.dataEmissao.startOfDay();
    edtTipoCompensacao->setText(cheque.nomeCompensacao);
    edtCentroCusto->setText(cheque.nomeCentroCusto);
    edtDescricao->setText(cheque.descricao);
    chkChequeTerceiro->setChecked(cheque.terceiro);
    IdCheque = cheque.idCheque;
    // Without a row of its own the cancel would report success and change
    // nothing.
    btCancelarCheque->setEnabled(cheque.status != 1 && cheque.idCheque != 0);
    if (cheque.jaImpresso && cheque.dataImpressao)
        IndicaImpressao(cheque.dataImpressao->startOfDay());
}

void TfrmCheque::preencheParcela(const RegistroPreDatado &serie, const Parcela &parcela, const QString &numParcelas)
{
    preenche(chequeDaParcela(serie, parcela), parcela.rotulo + u'/' + numParcelas);
    setWindowTitle(QStringLiteral("Visualização do cheque de ") + parcela.textoValor() + QStringLiteral(" referente a ")
                   + parcela.rotulo + QStringLiteral(" parcela de ") + numParcelas);
}

void TfrmCheque::apenasMostra()
{
    for (QPushButton *botao : {btImprimir, btImprimirCopia, btCancelarCheque})
        botao->hide();
}

void TfrmCheque::HabilitaImpressao(bool habilita)
{
    btImprimir->setEnabled(habilita);
}

void TfrmCheque::IndicaImpressao(const QDateTime &momento)
{
    dtpDataImpressao->setDateTime(momento);
    dtpDataImpressao->setVisible(true);
    lblDtImpressao->setVisible(true);
    btImprimir->setText(QStringLiteral("Reimprimir"));
}

void TfrmCheque::btImprimirClick()
{
    bool enviado = false;
    try {
        const std::optional<Money> valor = LeValorCheque(valorTexto_);
        enviado = valor
                  && ImprimeChequeImpressora(lblNumBanco->text(), lblFavorecido->text(), lblCidade->text(), *valor,
                                             DataCheque.date(), contexto().portaCOM);
    } catch (const std::exception &) {
        // An error inside the job counts as not printed and is not reported.
    }
    // A failed reprint leaves the earlier success standing.
    impresso_ = impresso_ || enviado;
    if (!enviado)
        return;
    mostra(QStringLiteral("Comando enviado para impressora com sucesso"), MessagePresenter::Icon::Information);
    IndicaImpressao(QDateTime::currentDateTime());
}

void TfrmCheque::btImprimirCopiaClick()
{
    const std::optional<Money> valor = LeValorCheque(valorTexto_);
    if (valor
        && ImprimeCopiaCheque(lblNumBanco->text(), lblBanco->text(), lblAgencia->text(), lblFavorecido->text(),
                              lblCidade->text(), lblNumCheque->text(), lblConta->text(), *valor,
                              edtDescricao->text(), lblParcela->text(), DataCheque.date(), contexto().portaCOM))
        mostra(QStringLiteral("Comando enviado para impressora com sucesso"), MessagePresenter::Icon::Information);
}

void TfrmCheque::btCancelarCheque1Click()
{
    if (!pergunta(QStringLiteral("Uma vez \"Cancelado\" o cheque não pode mas voltar ao Status de \"Válido\". "
                                 "Deseja realmente cancelar o cheque ?")))
        return;
    const WriteResult cancelado = dados().cancelaCheque(IdCheque, QStringLiteral("Erro ao cancelar o cheque: "));
    if (cancelado)
        btCancelarCheque->setEnabled(false);
    else
        mostra(cancelado.message);
}

void TfrmCheque::done(int)
{
    QDialog::done(impresso_ ? 1 : -1);
}
