#pragma once

#include <QWidget>

class QSvgRenderer;

// A picture drawn from an SVG file at the widget's own size, so it stays
// sharp at any scale. Contained pictures keep their proportions and sit at
// the given alignment; stretched ones fill the widget whatever its shape.
class ImagemSvg : public QWidget {
    Q_OBJECT

public:
    enum class Ajuste { Conter, Esticar };

    explicit ImagemSvg(QWidget *parent = nullptr);

    void carrega(const QString &arquivo, Ajuste ajuste = Ajuste::Conter,
                 Qt::Alignment alinhamento = Qt::AlignCenter);
    QString arquivo() const { return arquivo_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer *svg_;
    QString arquivo_;
    Ajuste ajuste_ = Ajuste::Conter;
    Qt::Alignment alinhamento_ = Qt::AlignCenter;
};
