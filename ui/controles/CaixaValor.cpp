#include "CaixaValor.h"

#include "FiltroTeclas.h"
#include "NorvelApplication.h"

CaixaValor::CaixaValor(QWidget *parent) : QLineEdit(parent)
{
    filtraDigitos(this);
}

void CaixaValor::saiPor(RegrasSaida &regras)
{
    regras.registra(this, [this] { return formata(); });
}

RegrasSaida::Resultado CaixaValor::formata()
{
    if (formato_ == Formato::Avulso && text().isEmpty())
        return RegrasSaida::Resultado::Aceito;
    setText(formato_ == Formato::Avulso ? FormataValorAvulso(text()) : FormataValorPreDatado(text()));
    if (!valor()) {
        NorvelApplication::relataErro(Money::invalidText(text()));
        return RegrasSaida::Resultado::Recusado;
    }
    emit formatado();
    return RegrasSaida::Resultado::Aceito;
}
