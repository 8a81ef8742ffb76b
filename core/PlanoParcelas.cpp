#include "PlanoParcelas.h"

#include <cstdlib>
#include <utility>

namespace {

// What the register's DATE column and the printer's date frame can carry.
const QDate PrimeiraData(1, 1, 1);
const QDate UltimaData(9999, 12, 31);
// Further than any date of that range lies from another.
constexpr std::int64_t MaxMeses = 12 * 10000;

QDate dataDaParcela(const QDate &inicial, std::int64_t periodos, int unidade)
{
    QDate data = inicial;
    if (unidade == UnidadeDias)
        data = inicial.addDays(periodos);
    else if (unidade == UnidadeMeses)
        data = std::llabs(periodos) <= MaxMeses ? inicial.addMonths(int(periodos)) : QDate();
    return data.isValid() && data >= PrimeiraData && data <= UltimaData ? data : QDate();
}

} // namespace

QStringList textosUnidadePeriodo()
{
    return {QStringLiteral("Dia(s)"), QStringLiteral("Mês(es)")};
}

int unidadePeriodo(const QString &texto)
{
    return int(textosUnidadePeriodo().indexOf(texto));
}

QString Parcela::textoValor() const
{
    return QStringLiteral("R$ ") + valor.toText();
}

const Parcela *PlanoParcelas::naCelula(int linha, int coluna) const
{
    if (linha < 0 || linha >= LinhasGradeParcelas || coluna < 0)
        return nullptr;
    const std::int64_t indice = std::int64_t(coluna / 2) * LinhasGradeParcelas + linha;
    return indice < std::int64_t(parcelas.size()) ? &parcelas[std::size_t(indice)] : nullptr;
}

PlanoParcelas planoParcelas(Money total, int numParcelas, const QDate &dataInicial, int valorPeriodo,
                            int unidade, std::optional<int> numInicialCheque)
{
    PlanoParcelas plano;
    const Money centavos = total.roundedToCentavos();
    if (numParcelas < 1 || numParcelas > MaxParcelas || centavos < Money()
        || centavos > Money::fromUnits(Money::MaxUnits))
        return plano;

    plano.colunas = (numParcelas / LinhasGradeParcelas + 1) * 2;
    Money parcela = centavos.dividedBy(numParcelas).roundedToCentavos();
    if (parcela * (numParcelas - 1) > centavos)
        parcela = Money::fromCentavos(centavos.centavos() / numParcelas);
    // Below 1 the series has no cheque numbers.
    const std::int64_t primeiroCheque = numInicialCheque.value_or(0);

    plano.parcelas.reserve(std::size_t(numParcelas));
    for (int k = 1; k <= numParcelas; ++k) {
        Parcela p;
        p.numero = k;
        p.rotulo = QString::number(k) + QChar(0x00AA);
        p.valor = k == 1 ? centavos - parcela * (numParcelas - 1) : parcela;
        p.data = dataDaParcela(dataInicial, std::int64_t(k - 1) * valorPeriodo, unidade);
        if (primeiroCheque >= 1)
            p.numeroCheque = primeiroCheque + k - 1;
        p.linha = (k - 1) % LinhasGradeParcelas;
        p.coluna = (k - 1) / LinhasGradeParcelas * 2;
        plano.parcelas.push_back(std::move(p));
    }
    return plano;
}
