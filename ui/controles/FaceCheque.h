#pragma once

#include <QWidget>

class QLabel;

// The face of a cheque as the viewers draw it: frame, number and value boxes
// with their titles on white across the top edge, the captions, and the
// labels a caller fills, found by name (lblNumCheque, lblNumBanco, lblBanco,
// lblAgencia, lblConta, lblValor, lblValorExtenso, lblFavorecido, lblCidade,
// lblData, lblParcela). Positions are those of the viewer's client area,
// whose top the face occupies, with the note under the face (lblObservacao,
// which a window may colour).
class FaceCheque : public QWidget {
    Q_OBJECT

public:
    explicit FaceCheque(QWidget *parent = nullptr);

    static constexpr QRect Moldura{8, 8, 689, 201};
    static constexpr QRect CaixaNumero{19, 22, 81, 48};
    static constexpr QRect CaixaValor{512, 22, 177, 51};

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *rotulo(const QString &texto, QPoint posicao);
    QLabel *campo(const char *nome, QRect area, Qt::Alignment alinhamento = Qt::AlignLeft | Qt::AlignTop);
    void tituloDeCaixa(const QString &texto, const QRect &caixa);
    static void depoisDe(const QLabel *legenda, QLabel *campo);
};
