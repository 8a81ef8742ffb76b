#pragma once

#include "Money.h"
#include "RegrasSaida.h"

#include <QLineEdit>

#include <optional>

// The amount box: takes digits only (the comma comes when the box is left),
// at most LimiteDigitacao of them; formats its text by FormataValorAvulso or
// FormataValorPreDatado when left, and gives its value. The formatted text
// holds a comma more than was typed and is never cut: the box's maxLength
// grows to hold it and comes back to the typing limit once the text fits.
class CaixaValor : public QLineEdit {
    Q_OBJECT

public:
    enum class Formato {
        Avulso,    // an empty box is left empty
        PreDatado, // an empty box becomes "0,00"
    };

    static constexpr int LimiteDigitacao = 14;

    explicit CaixaValor(QWidget *parent = nullptr);

    void setFormato(Formato formato) { formato_ = formato; }
    std::optional<Money> valor() const { return Money::parse(text()); }

    // Makes leaving the box (as regras sees it) run formata().
    void saiPor(RegrasSaida &regras);
    // Formats the text; formatado() when it reads as an amount. A text that
    // does not (only a paste can make one), or an amount no cheque carries,
    // is reported and refused.
    RegrasSaida::Resultado formata();

signals:
    void formatado();

private:
    Formato formato_ = Formato::Avulso;
};
