#pragma once

#include "Money.h"
#include "RegrasSaida.h"

#include <QLineEdit>

#include <optional>

// The amount box: takes digits only (the comma comes when the box is left),
// formats its text by FormataValorAvulso or FormataValorPreDatado when left,
// and gives its value.
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
