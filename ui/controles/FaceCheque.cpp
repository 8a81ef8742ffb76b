#include "FaceCheque.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

FaceCheque::FaceCheque(QWidget *parent) : QWidget(parent)
{
    setFixedSize(705, 232);
    // The positions are those of a narrow 8-point face: a wider font would
    // run the captions into the labels beside them.
    QFont letra(QStringLiteral("DejaVu Sans Condensed"));
    letra.setPixelSize(11);
    setFont(letra);

    tituloDeCaixa(QStringLiteral("Nº do Cheque"), CaixaNumero);
    tituloDeCaixa(QStringLiteral("Valor"), CaixaValor);
    rotulo(QStringLiteral("Nº do Banco"), {112, 16});
    rotulo(QStringLiteral("Banco"), {192, 16});
    rotulo(QStringLiteral("Agência"), {112, 56});
    rotulo(QStringLiteral("Conta"), {184, 56});
    QLabel *quantia = rotulo(QStringLiteral("Pague por este cheque a quantia de"), {16, 96});
    QLabel *a = rotulo(QStringLiteral("a"), {16, 128});
    rotulo(QStringLiteral(","), {560, 160});
    rotulo(QStringLiteral("Obs.: O leiaute do cheque é meramente ilustrativo."), {8, 216})
        ->setObjectName(QStringLiteral("lblObservacao"));

    QFont negrito = font();
    negrito.setBold(true);
    QFont sublinhado = font();
    sublinhado.setUnderline(true);

    // Inside the number box, under its title.
    campo("lblNumCheque", CaixaNumero.adjusted(2, 8, -2, -2), Qt::AlignCenter)->setFont(negrito);
    // Each box reaches the next element on its line.
    campo("lblNumBanco", {112, 32, 72, 20})->setFont(negrito);
    campo("lblBanco", {192, 32, 312, 20})->setFont(negrito);
    campo("lblAgencia", {112, 72, 68, 20})->setFont(negrito);
    campo("lblConta", {184, 72, 320, 20})->setFont(negrito);
    QFont valor = negrito;
    valor.setPixelSize(19);
    campo("lblValor", CaixaValor.adjusted(2, 8, -2, -2), Qt::AlignCenter)->setFont(valor);
    QLabel *extenso = campo("lblValorExtenso", {192, 96, 481, 33});
    extenso->setFont(sublinhado);
    extenso->setWordWrap(true);
    depoisDe(quantia, extenso);
    QLabel *favorecido = campo("lblFavorecido", {24, 128, 665, 20});
    favorecido->setFont(sublinhado);
    depoisDe(a, favorecido);
    campo("lblCidade", {352, 160, 206, 20}, Qt::AlignRight | Qt::AlignTop)->setFont(sublinhado);
    campo("lblData", {568, 160, 137, 20})->setFont(sublinhado);
    campo("lblParcela", {16, 192, 673, 16});
}

QLabel *FaceCheque::rotulo(const QString &texto, QPoint posicao)
{
    auto *r = new QLabel(texto, this);
    r->move(posicao);
    r->adjustSize();
    return r;
}

QLabel *FaceCheque::campo(const char *nome, QRect area, Qt::Alignment alinhamento)
{
    auto *c = new QLabel(this);
    c->setObjectName(QLatin1String(nome));
    c->setGeometry(area);
    c->setAlignment(alinhamento);
    return c;
}

// The captions reach the boxes after them: the text starts a blank after the
// caption, as on a printed form.
void FaceCheque::depoisDe(const QLabel *legenda, QLabel *campo)
{
    const int fimDaLegenda = legenda->x() + legenda->fontMetrics().horizontalAdvance(legenda->text());
    campo->setIndent(
        std::max(0, fimDaLegenda + campo->fontMetrics().horizontalAdvance(QLatin1Char(' ')) - campo->x()));
}

// The title sits on a white ground across the box's top edge.
void FaceCheque::tituloDeCaixa(const QString &texto, const QRect &caixa)
{
    QLabel *titulo = rotulo(texto, {});
    titulo->setAutoFillBackground(true);
    QPalette branco = titulo->palette();
    branco.setColor(QPalette::Window, Qt::white);
    titulo->setPalette(branco);
    titulo->move(caixa.left() + 6, caixa.top() - titulo->height() / 2);
}

void FaceCheque::paintEvent(QPaintEvent *)
{
    QPainter pintor(this);
    pintor.setPen(palette().color(QPalette::WindowText));
    for (const QRect &r : {Moldura, CaixaNumero, CaixaValor})
        pintor.drawRect(r.adjusted(0, 0, -1, -1));
}
