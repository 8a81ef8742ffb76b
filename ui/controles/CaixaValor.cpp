#include "CaixaValor.h"

#include "FiltroTeclas.h"
#include "NorvelApplication.h"

#include <algorithm>

CaixaValor::CaixaValor(QWidget *parent) : QLineEdit(parent)
{
    filtraDigitos(this);
    setMaxLength(LimiteDigitacao);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (text().size() <= LimiteDigitacao && maxLength() != LimiteDigitacao)
            setMaxLength(LimiteDigitacao);
    });
}

void CaixaValor::saiPor(RegrasSaida &regras)
{
    regras.registra(this, [this] { return formata(); });
}

RegrasSaida::Resultado CaixaValor::formata()
{
    if (formato_ == Formato::Avulso && text().isEmpty())
        return RegrasSaida::Resultado::Aceito;
    const QString texto = formato_ == Formato::Avulso ? FormataValorAvulso(text()) : FormataValorPreDatado(text());
    setMaxLength(std::max(LimiteDigitacao, int(texto.size())));
    setText(texto);
    if (!valor()) {
        NorvelApplication::relataErro(Money::invalidText(text()));
        return RegrasSaida::Resultado::Recusado;
    }
    emit formatado();
    return RegrasSaida::Resultado::Aceito;
}
