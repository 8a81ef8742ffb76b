#include "GradeParcelas.h"

#include "Registros.h"

#include <QHeaderView>
#include <QStyle>

GradeParcelas::GradeParcelas(QWidget *parent) : QTableWidget(LinhasGradeParcelas, PlanoParcelas().colunas, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The label columns are narrower than a style's usual least width.
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(LarguraColuna);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(AlturaLinha);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    for (int coluna = 0; coluna < columnCount(); coluna += 2)
        setColumnWidth(coluna, LarguraRotulo);
    // A grid has a current cell from the start, as the first one.
    setCurrentCell(0, 0);
}

void GradeParcelas::mostra(const PlanoParcelas &plano)
{
    clearContents();
    plano_ = plano;
    setColumnCount(plano_.colunas);
    for (int coluna = 0; coluna < columnCount(); ++coluna)
        setColumnWidth(coluna, coluna % 2 == 0 ? LarguraRotulo : LarguraColuna);
    // A value column widens to its longest text: a cut amount misleads.
    const int margem = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 6;
    for (const Parcela &parcela : plano_.parcelas) {
        const QString valor = parcela.textoValor();
        setItem(parcela.linha, parcela.coluna, new QTableWidgetItem(parcela.rotulo));
        setItem(parcela.linha, parcela.coluna + 1, new QTableWidgetItem(valor));
        const int largura = fontMetrics().horizontalAdvance(valor) + margem;
        if (largura > columnWidth(parcela.coluna + 1))
            setColumnWidth(parcela.coluna + 1, largura);
    }
    if (!currentIndex().isValid())
        setCurrentCell(0, 0);
}

void GradeParcelas::limpa()
{
    clearContents();
    plano_.parcelas.clear();
}

const Parcela *GradeParcelas::parcelaAtual() const
{
    return plano_.naCelula(currentRow(), currentColumn());
}

QString GradeParcelas::informacao(const Parcela &parcela, const QString &numParcelas)
{
    return parcela.rotulo + QStringLiteral(" parcela de ") + numParcelas + QStringLiteral(" no valor de ")
           + parcela.textoValor() + QStringLiteral(" a ser debitado em ")
           + parcela.data.toString(QStringLiteral("dd/MM/yyyy"));
}

PlanoParcelas planoDaSerie(const RegistroPreDatado &serie)
{
    bool numero = false;
    const int numInicial = serie.numInicialCheque.toInt(&numero);
    return planoParcelas(serie.valor, serie.numParcelas, serie.dataInicialEmissao, serie.valorPeriodoImpressao,
                         unidadePeriodo(serie.periodoImpressao),
                         numero ? std::optional<int>(numInicial) : std::nullopt);
}

RegistroCheque chequeDaParcela(const RegistroPreDatado &serie, const Parcela &parcela)
{
    RegistroCheque cheque;
    cheque.idBanco = serie.idBanco;
    cheque.numBanco = serie.numBanco;
    cheque.nomeBanco = serie.nomeBanco;
    cheque.agencia = serie.agencia;
    cheque.conta = serie.conta;
    if (parcela.numeroCheque)
        cheque.numCheque = QString::number(*parcela.numeroCheque);
    cheque.favorecido = serie.favorecido;
    cheque.cidade = serie.cidade;
    cheque.valor = parcela.valor;
    cheque.dataEmissao = parcela.data;
    cheque.dataImpressao = serie.dataImpressao;
    cheque.jaImpresso = serie.jaImpresso;
    cheque.importado = serie.importado;
    cheque.terceiro = serie.terceiro;
    cheque.idCentroCusto = serie.idCentroCusto;
    cheque.nomeCentroCusto = serie.nomeCentroCusto;
    cheque.idCompensacao = serie.idCompensacao;
    cheque.nomeCompensacao = serie.nomeCompensacao;
    cheque.descricao = serie.descricao;
    cheque.status = serie.status;
    return cheque;
}
