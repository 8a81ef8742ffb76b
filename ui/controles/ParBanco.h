#pragma once

#include <QObject>

class CaixaBusca;
class QLineEdit;
class TdmNorvelCheque;

// The bank of an entry window, by number or by name. Every edit typed in the
// number box filters the data module's ListaBancos2 by its text
// (FiltroBanco) and shows the first remaining bank's name, or nothing. The
// name box, bound to ListaBancos2, hands its bank's number back to the number
// box when its list closes, when it is left, and on Up or Down. The filter
// stays set for every window that shows ListaBancos2.
class ParBanco : public QObject {
public:
    // Owned by the number box; binds the name box to ListaBancos2 and the
    // number box to the digit filter.
    ParBanco(QLineEdit *numero, CaixaBusca *banco, TdmNorvelCheque &dm);

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void buscaPorNumero();
    void copiaNumero();

    QLineEdit *numero_;
    CaixaBusca *banco_;
    TdmNorvelCheque &dm_;
};
