#include "CaixaValor.h"

#include "FiltroTeclas.h"
#include "NorvelApplication.h"

namespace {

// The comma before the last two digits, short texts padded with zeros.
QString poeVirgula(const QString &digitos)
{
    if (digitos.size() > 2)
        return digitos.left(digitos.size() - 2) + u',' + digitos.right(2);
    return QStringLiteral("0,") + digitos.rightJustified(2, u'0');
}

} // namespace

QString FormataValorAvulso(const QString &texto)
{
    QString semVirgula = texto;
    const int virgula = semVirgula.indexOf(u',');
    if (virgula >= 0)
        semVirgula.remove(virgula, 1);
    if (semVirgula.contains(u','))
        return texto;
    return poeVirgula(semVirgula);
}

QString FormataValorPreDatado(const QString &texto)
{
    if (texto.contains(u',') || texto.contains(u'.'))
        return texto;
    return poeVirgula(texto);
}

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
