#include "ImagemSvg.h"

#include <QPainter>
#include <QStyle>
#include <QSvgRenderer>

ImagemSvg::ImagemSvg(QWidget *parent) : QWidget(parent), svg_(new QSvgRenderer(this))
{
    connect(svg_, &QSvgRenderer::repaintNeeded, this, qOverload<>(&QWidget::update));
}

void ImagemSvg::carrega(const QString &arquivo, Ajuste ajuste, Qt::Alignment alinhamento)
{
    arquivo_ = arquivo;
    ajuste_ = ajuste;
    alinhamento_ = alinhamento;
    svg_->load(arquivo);
    update();
}

void ImagemSvg::paintEvent(QPaintEvent *)
{
    if (!svg_->isValid())
        return;
    const QSizeF natural = svg_->viewBoxF().size();
    if (natural.isEmpty())
        return;
    const QRect area = ajuste_ == Ajuste::Esticar
                           ? rect()
                           : QStyle::alignedRect(layoutDirection(), alinhamento_,
                                                 natural.scaled(size(), Qt::KeepAspectRatio).toSize(),
                                                 rect());
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    svg_->render(&pintor, QRectF(area));
}
