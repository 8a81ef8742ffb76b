#pragma once

#include "Money.h"
#include "RegrasSaida.h"

#include <QLineEdit>

#include <optional>

// FormataValor of the single-cheque window: the first comma goes, a second
// one leaves the text as it was; otherwise a comma goes before the last two
// digits, padding short texts ("5" gives "0,05", "" gives "0,00").
// Formatting its own result changes nothing.
QString FormataValorAvulso(const QString &texto);
// FormataValor of the post-dated series: a text holding "," or "." is left
// as it is; otherwise as above.
QString FormataValorPreDatado(const QString &texto);

// The amount box: takes digits only (the comma comes when the box is left),
// formats its text by one of the two rules when left, and gives its value.
class CaixaValor : public QLineEdit {
    Q_OBJECT

public:
    enum class Formato {
        Avulso,    // an empty box is left empty
        PreDatado, // an empty box becomes "0,00"
    };

    explicit CaixaValor(QWidget *parent = nullptr);

    void setFormato(Formato formato) { formato_ = formato; }
    std::optional<Money> valor() const { return Money::parse(text()); }

    // Makes leaving the box (as regras sees it) run formata().
    void saiPor(RegrasSaida &regras);
    // Formats the text; formatado() when it reads as an amount. A text that
    // does not (only a paste can make one) is reported and refused.
    RegrasSaida::Resultado formata();

signals:
    void formatado();

private:
    Formato formato_ = Formato::Avulso;
};
