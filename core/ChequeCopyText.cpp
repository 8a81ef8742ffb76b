#include "ChequeCopyText.h"

#include "Money.h"

#include "UnExtenso.h"
#include "Windows1252.h"

#include <QRegularExpression>

#include <array>

namespace {

QByteArray blanks(int count)
{
    return QByteArray(count, ' ');
}

// Pieces of width bytes, one per line: length / width + 1 lines, so a length
// that is an exact multiple of width ends with an indent-only line.
QByteArray wrapped(const QByteArray &text, int width, int indent)
{
    QByteArray lines;
    const qsizetype count = text.size() / width + 1;
    for (qsizetype i = 0; i < count; ++i)
        lines += blanks(indent) + text.mid(i * width, width) + '\n';
    return lines;
}

QByteArray labelled(const char *label, const QByteArray &value)
{
    return blanks(5) + label + value + '\n';
}

} // namespace

QString longDatePtBr(const QDate &date)
{
    static const std::array<QString, 12> months = {
        QStringLiteral("janeiro"),  QStringLiteral("fevereiro"), QStringLiteral("março"),
        QStringLiteral("abril"),    QStringLiteral("maio"),      QStringLiteral("junho"),
        QStringLiteral("julho"),    QStringLiteral("agosto"),    QStringLiteral("setembro"),
        QStringLiteral("outubro"),  QStringLiteral("novembro"),  QStringLiteral("dezembro"),
    };
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1 de %2 de %3")
        .arg(date.day())
        .arg(months[date.month() - 1])
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

std::optional<QByteArray> chequeCopyText(const ChequeCopy &copy)
{
    const std::optional<Money> amount = Money::parse(copy.valor);
    if (!amount)
        return std::nullopt;

    QByteArray text = blanks(60) + "R$ " + toWindows1252(copy.valor) + "\n\n";
    text += wrapped(QByteArray::fromStdString(amount->extenso()), 70, 10);
    text += "\n\n\n";
    text += blanks(40) + toWindows1252(copy.cidade) + ',' + toWindows1252(longDatePtBr(copy.data))
            + "\n\n";

    text += labelled("Favorecido  : ", toWindows1252(copy.favorecido));
    text += labelled("Num. Cheque : ", toWindows1252(copy.numeroCheque));
    if (!copy.parcela.isEmpty()) {
        // The printer's character set prints the ordinal sign at 0xA6.
        text += labelled("Num. Parcela: ", toWindows1252(copy.parcela).replace('\xAA', '\xA6'));
    }
    text += labelled("Num. Banco  : ", toWindows1252(copy.numeroBanco));
    text += labelled("Banco       : ", toWindows1252(copy.nomeBanco));
    text += labelled("Agencia     : ", toWindows1252(copy.agencia));
    text += labelled("Conta       : ", toWindows1252(copy.conta));

    if (!copy.descricao.isEmpty()) {
        text += '\n' + blanks(36) + "DESCRICAO\n";
        text += wrapped(toWindows1252(copy.descricao), 75, 5);
    }
    return text;
}
