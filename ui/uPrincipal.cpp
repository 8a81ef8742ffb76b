#include "uPrincipal.h"
#include "ui_uPrincipal.h"

#include "MessagePresenter.h"
#include "Protege.h"
#include "TituloPrograma.h"
#include "uBancos.h"
#include "uCentroCusto.h"
#include "uCompensacao.h"
#include "uConfiguracoes.h"
#include "uChequePreDatado.h"
#include "uConsultaPreDatado.h"
#include "uConsultas.h"
#include "uFavorecido.h"
#include "uImprimirEndosso.h"
#include "uPreencheCheque.h"
#include "uSobre.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMdiSubWindow>
#include <QPointer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace {

// A window that closes itself (its "Sair" or "Cancelar" button) takes its
// frame in the client area along; the frame alone would stay behind empty.
class FechaMoldura : public QObject {
public:
    FechaMoldura(QWidget *filho, QMdiSubWindow *moldura) : QObject(moldura), filho_(filho)
    {
        filho->installEventFilter(this);
    }

    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        // Looked at once the window has taken or refused the close.
        if (objeto == filho_ && evento->type() == QEvent::Close) {
            QMetaObject::invokeMethod(
                parent(),
                [this] {
                    if (!filho_ || filho_->isHidden())
                        static_cast<QMdiSubWindow *>(parent())->close();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QPointer<QWidget> filho_;
};

} // namespace

TfrmPrincipal::TfrmPrincipal(QWidget *parent)
    : QMainWindow(parent),
      abreDocumento([](const QUrl &url) { return QDesktopServices::openUrl(url); }),
      ui(std::make_unique<Ui::TfrmPrincipal>())
{
    ui->setupUi(this);

    ui->mnuConsultar->menuAction()->setStatusTip(QStringLiteral("Consultar Cheques Avulsos"));
    nomeiaBotoes();
    auto *versao = new QLabel(QStringLiteral("Versão: 03.14"), ui->StatusBar1);
    versao->setObjectName(QStringLiteral("lblVersao"));
    ui->StatusBar1->addWidget(versao, 1);
    // The top strip is 24 pixels high so that, on a 1366×768 screen, the
    // client area holds the tallest windows whole (the query window's frame
    // is 645 high).
    ui->FundoTopo->carrega(QStringLiteral(":/fundo-topo.svg"), ImagemSvg::Ajuste::Esticar);
    ui->LogoNorvel->carrega(QStringLiteral(":/logo-norvel.svg"), ImagemSvg::Ajuste::Conter,
                            Qt::AlignRight | Qt::AlignVCenter);

    // A window taller than the client area stays reachable by scrolling.
    ui->mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui->mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // The registries open a new window on every command.
    const std::pair<QAction *, std::function<QWidget *()>> registros[] = {
        {ui->actBanco, [this] { return new TfrmBancos(contexto_); }},
        {ui->actCentroCusto, [this] { return new TfrmCentroCusto(contexto_); }},
        {ui->actTipoCompensacao, [this] { return new TfrmCompensacao(contexto_); }},
        {ui->actFavorecido, [this] { return new TfrmFavorecido(contexto_); }},
    };
    for (const auto &[acao, cria] : registros)
        ligaAcao(acao, [this, cria] { mostraFilho(cria()); });
    // The entry windows open a new window on every command, and registries
    // of their own that are held here like the rest.
    const std::pair<QAction *, std::function<JanelaFilha *()>> entradas[] = {
        {ui->actChequeAvulso, [this] { return new TfrmPreencherCheque(contexto_); }},
        {ui->actChequePreDatado, [this] { return new TfrmChequePreDatado(contexto_); }},
    };
    for (const auto &[acao, cria] : entradas)
        ligaAcao(acao, [this, cria] {
            JanelaFilha *entrada = cria();
            connect(entrada, &JanelaFilha::abreJanela, this, [this](QWidget *janela) { mostraFilho(janela); });
            mostraFilho(entrada);
        });
    ligaAcao(ui->actConsultaAvulso, [this] {
        abreUnico(QStringLiteral("frmConsultas"), [this] { return new TfrmConsultas(contexto_); });
    });
    ligaAcao(ui->actEndosso, [this] { mostraFilho(new TfrmImprimirEndosso(contexto_)); });
    ligaAcao(ui->actConsultaPreDatado, [this] {
        abreUnico(QStringLiteral("frmConsultaPreDatado"), [this] { return new TfrmConsultaPreDatado(contexto_); });
    });
    ligaAcao(ui->actSair, [this] { actSairClick(); });
    ligaAcao(ui->actConfiguracoes, [this] { actConfiguracoesClick(); });
    ligaAcao(ui->actManual, [this] { actManualClick(); });
    ligaAcao(ui->actSobre, [this] { actSobreClick(); });

    contexto_.portaCOM = LePortaCOM();
    contexto_.cidadePadrao = LeCidade();
}

TfrmPrincipal::~TfrmPrincipal() = default;

void TfrmPrincipal::ligaAcao(QAction *acao, std::function<void()> tratador)
{
    ligaProtegido(acao, &QAction::triggered, this, std::move(tratador));
}

void TfrmPrincipal::nomeiaBotoes()
{
    const std::pair<QAction *, const char *> botoes[] = {
        {ui->actFavorecido, "btFavorecido"},
        {ui->actCentroCusto, "btnCentrodeCustos"},
        {ui->actTipoCompensacao, "btTipoCompesacao"},
        {ui->actBanco, "btBanco"},
        {ui->actChequeAvulso, "btChequeAvulso"},
        {ui->actChequePreDatado, "btChequePredatado"},
        {ui->actEndosso, "btEndosso"},
        {ui->actConsultaAvulso, "btConsultaAvulso"},
        {ui->actConsultaPreDatado, "btConsultaPredatado"},
    };
    for (const auto &[acao, nome] : botoes) {
        QWidget *botao = ui->ToolBar1->widgetForAction(acao);
        botao->setObjectName(QLatin1String(nome));
        botao->setFixedHeight(23);
    }
}

QMdiArea *TfrmPrincipal::areaFilhos() const
{
    return ui->mdiArea;
}

QMdiSubWindow *TfrmPrincipal::mostraFilho(QWidget *filho, Posicao posicao)
{
    const bool fixo = filho->minimumSize() == filho->maximumSize();
    Qt::WindowFlags moldura = Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    if (!fixo)
        moldura |= Qt::WindowMaximizeButtonHint;
    // A window that customises its frame keeps the buttons it names.
    if (filho->windowFlags().testFlag(Qt::CustomizeWindowHint))
        moldura = Qt::SubWindow | (filho->windowFlags() & ~Qt::WindowType_Mask);
    QMdiSubWindow *janela = ui->mdiArea->addSubWindow(filho, moldura);
    new FechaMoldura(filho, janela);
    // The frame follows the window's fixed size, also when the window
    // switches between sizes of its own.
    if (fixo)
        janela->layout()->setSizeConstraint(QLayout::SetFixedSize);
    janela->show();
    // Where the area placed it, or centred; then moved back in, as the area
    // places a window beside the others even where it does not fit, with its
    // title bar or buttons out of sight. One taller or wider than the area
    // keeps its top left corner, and so its title bar, in sight.
    const QSize area = ui->mdiArea->viewport()->size();
    const QSize sobra(std::max(0, area.width() - janela->width()), std::max(0, area.height() - janela->height()));
    const QPoint canto = posicao == Posicao::Centralizada ? QPoint(sobra.width() / 2, sobra.height() / 2) : janela->pos();
    janela->move(std::clamp(canto.x(), 0, sobra.width()), std::clamp(canto.y(), 0, sobra.height()));
    return janela;
}

void TfrmPrincipal::abreUnico(const QString &nome, const std::function<QWidget *()> &cria,
                              Posicao posicao)
{
    const QList<QMdiSubWindow *> janelas = ui->mdiArea->subWindowList();
    for (auto janela = janelas.crbegin(); janela != janelas.crend(); ++janela) {
        if ((*janela)->widget() && (*janela)->widget()->objectName() == nome) {
            if ((*janela)->isMinimized())
                (*janela)->showNormal();
            ui->mdiArea->setActiveSubWindow(*janela);
            return;
        }
    }
    mostraFilho(cria(), posicao);
}

void TfrmPrincipal::closeEvent(QCloseEvent *event)
{
    if (sairSemPerguntar_ || messages().ask(TituloPrograma, QStringLiteral("Você tem certeza que deseja sair?")))
        event->accept();
    else
        event->ignore();
}

void TfrmPrincipal::actSairClick()
{
    sairSemPerguntar_ = true;
    close();
}

void TfrmPrincipal::actConfiguracoesClick()
{
    abreUnico(
        QStringLiteral("frmConfig"),
        [this] {
            auto *configuracoes = new TfrmConfig(contexto_);
            connect(configuracoes, &TfrmConfig::configuracaoSalva, this, [this](int porta, const QString &cidade) {
                contexto_.portaCOM = porta;
                contexto_.cidadePadrao = cidade;
            });
            return configuracoes;
        },
        Posicao::Centralizada);
}

void TfrmPrincipal::actManualClick()
{
    if (!messages().ask(TituloPrograma, QStringLiteral("É necessario que esteja instalado algum leitor de PDF! "
                                               "Deseja realmente continuar?")))
        return;
    const QString manual =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Manual Norvel Cheque.pdf"));
    // Without the file or a viewer for it the desktop says nothing at all.
    if (!QFileInfo::exists(manual) || !abreDocumento(QUrl::fromLocalFile(manual)))
        messages().show(TituloPrograma,
                        QStringLiteral("Não foi possível abrir o manual \"%1\".").arg(QDir::toNativeSeparators(manual)),
                        MessagePresenter::Icon::Error);
}

void TfrmPrincipal::actSobreClick()
{
    abreUnico(QStringLiteral("frmSobre"), [this] { return new TfrmSobre(contexto_); }, Posicao::Centralizada);
}
