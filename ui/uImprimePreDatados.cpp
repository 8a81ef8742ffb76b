#include "uImprimePreDatados.h"
#include "ui_uImprimePreDatados.h"

#include "DataLonga.h"
#include "GradeParcelas.h"
#include "Registros.h"
#include "uDeclaracoes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>

#include <exception>

namespace {

// Drops the user's input to every window of the program for its lifetime.
class DescartaEntrada final : public QObject {
public:
    DescartaEntrada() { QCoreApplication::instance()->installEventFilter(this); }
    ~DescartaEntrada() override { QCoreApplication::instance()->removeEventFilter(this); }
    DescartaEntrada(const DescartaEntrada &) = delete;
    DescartaEntrada &operator=(const DescartaEntrada &) = delete;

protected:
    bool eventFilter(QObject *, QEvent *evento) override { return evento->isInputEvent(); }
};

} // namespace

TfrmImprimePreDatados::TfrmImprimePreDatados(const Contexto &contexto, QWidget *parent)
    : JanelaModal(contexto, parent), ui(std::make_unique<Ui::TfrmImprimePreDatados>())
{
    ui->setupUi(this);
    setFixedSize(size());
    // The buttons' widths fit their captions in the face's narrow font.
    setFont(ui->FaceCheque1->font());
    QFont negrito = font();
    negrito.setBold(true);
    ui->lblInstrucao->setFont(negrito);

    const auto rotulo = [this](const char *nome) {
        return ui->FaceCheque1->findChild<QLabel *>(QLatin1String(nome));
    };
    QLabel *observacao = rotulo("lblObservacao");
    QPalette vermelho = observacao->palette();
    vermelho.setColor(QPalette::WindowText, Qt::red);
    observacao->setPalette(vermelho);

    lblFavorecido = rotulo("lblFavorecido");
    lblNumBanco = rotulo("lblNumBanco");
    lblBanco = rotulo("lblBanco");
    lblCidade = rotulo("lblCidade");
    lblAgencia = rotulo("lblAgencia");
    lblConta = rotulo("lblConta");
    lblValor = rotulo("lblValor");
    lblValorExtenso = rotulo("lblValorExtenso");
    lblNumCheque = rotulo("lblNumCheque");
    lblParcela = rotulo("lblParcela");
    lblData = rotulo("lblData");

    liga(ui->btAnterior, &QPushButton::clicked, &TfrmImprimePreDatados::btAnteriorClick);
    liga(ui->btProximo, &QPushButton::clicked, &TfrmImprimePreDatados::btProximoClick);
    liga(ui->btImprimir, &QPushButton::clicked, &TfrmImprimePreDatados::btImprimirClick);
    liga(ui->btImprimirCopia, &QPushButton::clicked, &TfrmImprimePreDatados::ImprimeCopiaParcela);
    connect(ui->btSair, &QPushButton::clicked, this, &QDialog::close);
}

TfrmImprimePreDatados::~TfrmImprimePreDatados() = default;

void TfrmImprimePreDatados::preenche(const RegistroPreDatado &serie)
{
    lblFavorecido->setText(serie.favorecido);
    lblNumBanco->setText(serie.numBanco);
    lblBanco->setText(serie.nomeBanco);
    lblCidade->setText(serie.cidade);
    lblAgencia->setText(serie.agencia);
    lblConta->setText(serie.conta);
    Plano = planoDaSerie(serie);
}

void TfrmImprimePreDatados::FormShow()
{
    // A series without installments has nothing to print.
    const bool temParcelas = !Plano.parcelas.empty();
    ui->btImprimir->setEnabled(temParcelas);
    ui->btImprimirCopia->setEnabled(temParcelas);
    MostraParcela(parcelaAtual_);
}

void TfrmImprimePreDatados::MostraParcela(int k)
{
    const int total = int(Plano.parcelas.size());
    if (k >= 1 && k <= total) {
        const Parcela &parcela = Plano.parcelas[std::size_t(k - 1)];
        parcelaAtual_ = k;
        DataParcela = parcela.data;
        lblValor->setText(parcela.textoValor());
        lblNumCheque->setText(parcela.numeroCheque ? QString::number(*parcela.numeroCheque) : QString());
        lblParcela->setText(parcela.rotulo + QLatin1Char('/') + QString::number(total));
        lblData->setText(DataLonga::formata(DataParcela));
        lblValorExtenso->setText(QString::fromStdString(parcela.valor.extenso()));
    }
    ui->btAnterior->setEnabled(parcelaAtual_ > 1);
    ui->btProximo->setEnabled(parcelaAtual_ < total);
}

void TfrmImprimePreDatados::btAnteriorClick()
{
    MostraParcela(parcelaAtual_ - 1);
}

void TfrmImprimePreDatados::btProximoClick()
{
    MostraParcela(parcelaAtual_ + 1);
}

void TfrmImprimePreDatados::btImprimirClick()
{
    if (pergunta(QStringLiteral("Para inciar a impressão dos cheques pré-datados, posicione o papel na impressora e "
                                "pressione o botão Sim"),
                 QStringLiteral("Iniciar impressão de pré-datados?")))
        ImprimeParcelas();
}

// From the installment shown to the last, one cheque at a time; after each
// one the user places the next form, prints the same one again or stops.
void TfrmImprimePreDatados::ImprimeParcelas()
{
    const QScopedValueRollback<bool> emExecucao(imprimindo_, true);
    const int total = int(Plano.parcelas.size());
    for (;;) {
        if (!imprimeParcelaAtual()) {
            // The print job has said why. A failed last cheque ends the run
            // without the closing notice: it did not finish.
            if (pergunta(QStringLiteral("Tentar novamente?")))
                continue;
            return;
        }
        impresso_ = true;
        aguardaImpressora();
        if (parcelaAtual_ >= total)
            break;
        const MessagePresenter::Answer resposta = messages().askYesNoCancel(
            QStringLiteral("Imprimir próxima parcela?"),
            QStringLiteral("Posicione o papel na impressora.\n\n"
                           "Para imprimir a próxima parcela, precione Sim.\n"
                           "Para reimprimir a mesma parcela pressione Não.\n"
                           "Para cancelar a operação pressione Cancelar."));
        if (resposta == MessagePresenter::Answer::Cancel)
            return;
        if (resposta == MessagePresenter::Answer::Yes)
            MostraParcela(parcelaAtual_ + 1);
    }
    mostra(QStringLiteral("Impressão dos cheques pré-datados finalizada."), MessagePresenter::Icon::Information);
}

bool TfrmImprimePreDatados::imprimeParcelaAtual()
{
    const Parcela &parcela = Plano.parcelas[std::size_t(parcelaAtual_ - 1)];
    if (!parcela.data.isValid()) {
        // The plan leaves out dates past 31/12/9999, which no cheque carries.
        mostra(QStringLiteral("A parcela %1 não tem data válida para o cheque.").arg(lblParcela->text()),
               MessagePresenter::Icon::Error);
        return false;
    }
    try {
        return ImprimeChequeImpressora(lblNumBanco->text(), lblFavorecido->text(), lblCidade->text(), parcela.valor,
                                       parcela.data, contexto().portaCOM);
    } catch (const std::exception &) {
        // An error inside the job counts as not printed and is not reported.
        return false;
    }
}

// Holds the window while the printer prints: the window and the status bar
// keep painting, but no window of the program takes input, and what the user
// typed or clicked meanwhile is dropped rather than delivered afterwards,
// where it could answer the question that follows.
void TfrmImprimePreDatados::aguardaImpressora()
{
    setCursor(Qt::WaitCursor);
    ui->barraStatus->showMessage(QStringLiteral("Aguarde imprimindo parcela ..."));
    {
        const DescartaEntrada descarta;
        QEventLoop espera;
        QTimer::singleShot(espera_, &espera, &QEventLoop::quit);
        espera.exec(QEventLoop::ExcludeUserInputEvents);
        // ExcludeUserInputEvents only holds the window system's input back:
        // left queued, a click or an Enter of the wait would act once it is
        // over. It is taken at this point, into the filter.
        QCoreApplication::processEvents();
    }
    ui->barraStatus->clearMessage();
    unsetCursor();
}

void TfrmImprimePreDatados::ImprimeCopiaParcela()
{
    // The copy prints the amount in words a second time, as its description.
    if (ImprimeCopiaCheque(lblNumBanco->text(), lblBanco->text(), lblAgencia->text(), lblFavorecido->text(),
                           lblCidade->text(), lblNumCheque->text(), lblConta->text(),
                           Plano.parcelas[std::size_t(parcelaAtual_ - 1)].valor, lblValorExtenso->text(),
                           lblParcela->text(), DataParcela, contexto().portaCOM))
        mostra(QStringLiteral("Comando enviado para impressora com sucesso"), MessagePresenter::Icon::Information);
}

void TfrmImprimePreDatados::done(int)
{
    if (imprimindo_)
        return;
    if (pergunta(QStringLiteral("Você tem certeza que deseja sair?")))
        QDialog::done(impresso_ ? QDialog::Accepted : QDialog::Rejected);
}
