#include "BankLayout.h"

#include <algorithm>

namespace {

struct OrderRule {
    BankLayout::Field smaller;
    BankLayout::Field larger;
    const char16_t *firstName;
    const char16_t *secondName;
};

// Names as the users have always read them, blanks and slips included.
const std::array<OrderRule, 12> kOrderRules = {{
    {BankLayout::LinhaValor, BankLayout::LinhaExtenso1,
     u"linha do campo \"Valor\"", u"linha do campo \"1ª Linha Extenso\" "},
    {BankLayout::ColIniValor, BankLayout::ColFimValor,
     u"Col. Ini do campo \"Valor\"", u"Col. Fim do campo \"Valor\""},
    {BankLayout::LinhaExtenso1, BankLayout::LinhaExtenso2,
     u"linha do campo \"1ª Linha Extenso\"", u"linha do campo \"2ª Linha Extenso\""},
    {BankLayout::ColIniExtenso1, BankLayout::ColFimExtenso1,
     u"Col. Ini. do campo \"1ª Linha Extenso\"", u"Col. Fim co campo \"1ª Linha Extenso\""},
    {BankLayout::LinhaExtenso2, BankLayout::LinhaFavorecido,
     u"Linha do campo \"2ª linha Extenso\"", u"Linha do campo \"Favorecido\""},
    {BankLayout::ColIniExtenso2, BankLayout::ColFimExtenso2,
     u"Col.Ini. do campo \"2ª linha Extenso\"", u"Col. Fim do campo \"2ª linha Extenso\""},
    {BankLayout::LinhaFavorecido, BankLayout::LinhaCidade,
     u"Linha do campo \"Favorecido\"", u"Linha do campo \"Cidade\""},
    {BankLayout::ColIniFavorecido, BankLayout::ColFimFavorecido,
     u"Col. Ini. do campo \"Favorecido\"", u"Col. Fim do campo \"Favorecido\""},
    {BankLayout::ColIniNumCheque, BankLayout::ColFimCidade,
     u"Col.Ini. do campo \"NumCheque\"", u"Col. Fim do campo \"Cidade\""},
    {BankLayout::ColIniNumCheque, BankLayout::ColIniDia,
     u"Col. Ini do campo \"NumCheque\"", u"Col.Ini. do campo \"Dia\""},
    {BankLayout::ColIniDia, BankLayout::ColIniMes,
     u"Col. Ini do campo \"Dia\"", u"Col. Ini. do campo \"Mês\""},
    {BankLayout::ColIniMes, BankLayout::ColIniAno,
     u"Col. Ini. do campo \"Mês\"", u"Col. Ini. do campo \"Ano\""},
}};

BankLayout::FieldInfo line(const char *name, const char16_t *group, const char *defaultText)
{
    const QString n = QString::fromLatin1(name);
    return {n, QStringLiteral("edt") + n, QStringLiteral("ud") + n, QString::fromUtf16(group),
            QStringLiteral("Linha:"), 1, 20, QString::fromLatin1(defaultText)};
}

BankLayout::FieldInfo column(const char *name, const char16_t *group, const char16_t *label,
                             const char *defaultText)
{
    const QString n = QString::fromLatin1(name);
    return {n, QStringLiteral("edt") + n, QStringLiteral("ud") + n, QString::fromUtf16(group),
            QString::fromUtf16(label), 0, 80, QString::fromLatin1(defaultText)};
}

const std::array<BankLayout::FieldInfo, BankLayout::FieldCount> &fieldTable()
{
    static const std::array<BankLayout::FieldInfo, BankLayout::FieldCount> table = {
        line("LinhaValor", u"Valor:", "01"),
        column("ColIniValor", u"Valor:", u"Col. Ini:", "60"),
        column("ColFimValor", u"Valor:", u"Col. Fim:", "80"),
        line("LinhaExtenso1", u"1ª Linha Extenso:", "05"),
        column("ColIniExtenso1", u"1ª Linha Extenso:", u"Col. Ini:", "08"),
        column("ColFimExtenso1", u"1ª Linha Extenso:", u"Col. Fim:", "80"),
        line("LinhaExtenso2", u"2ª Linha Extenso:", "06"),
        column("ColIniExtenso2", u"2ª Linha Extenso:", u"Col. Ini:", "01"),
        column("ColFimExtenso2", u"2ª Linha Extenso:", u"Col. Fim:", "80"),
        line("LinhaFavorecido", u"Favorecido:", "07"),
        column("ColIniFavorecido", u"Favorecido:", u"Col. Ini:", "01"),
        column("ColFimFavorecido", u"Favorecido:", u"Col. Fim:", "80"),
        line("LinhaCidade", u"Cidade:", "12"),
        column("ColFimCidade", u"Cidade:", u"Col. Fim:", "52"),
        column("ColIniNumCheque", u"Número do Cheque:", u"Col. Ini:", "47"),
        column("ColIniDia", u"Dia:", u"Col. Ini:", "54"),
        column("ColIniMes", u"Mês:", u"Col. Ini:", "60"),
        column("ColIniAno", u"Ano:", u"Col. Ini:", "75"),
    };
    return table;
}

// A box's number: ASCII digits only, as nothing else can be typed into it;
// too many digits for an int fail as in the integer conversion.
std::optional<int> numberOf(const QString &text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString withoutColon(const QString &caption)
{
    return caption.endsWith(u':') ? caption.chopped(1) : caption;
}

} // namespace

const BankLayout::FieldInfo &BankLayout::info(Field field)
{
    return fieldTable()[field];
}

BankLayout::BankLayout()
{
    for (int f = 0; f < FieldCount; ++f)
        texts_[f] = fieldTable()[f].defaultText;
}

BankLayout BankLayout::decode(const QString &stored)
{
    BankLayout layout;
    for (int f = 0; f < FieldCount; ++f)
        layout.texts_[f] = stored.mid(2 * f, 2);
    return layout;
}

QString BankLayout::encode() const
{
    QString text;
    text.reserve(TextLength);
    for (const QString &piece : texts_)
        text += piece;
    return text;
}

std::optional<BankLayout::Problem> BankLayout::validate() const
{
    // The printer and the decoder both need all 36 digits. Checked first: the
    // order rules let an empty box through as the smaller one and, as the
    // larger one, would blame its neighbour instead of the empty box.
    for (int f = 0; f < FieldCount; ++f) {
        if (texts_[f].size() != 2 || !numberOf(texts_[f])) {
            const FieldInfo &field = fieldTable()[f];
            return Problem{QStringLiteral("O campo \"%1\" de \"%2\" deve ser preenchido com um "
                                          "número de dois dígitos.")
                               .arg(withoutColon(field.label), withoutColon(field.group)),
                           field.box};
        }
    }
    for (const OrderRule &rule : kOrderRules) {
        if (!(texts_[rule.smaller] < texts_[rule.larger])) {
            return Problem{QStringLiteral("A ") + QString::fromUtf16(rule.firstName)
                               + QStringLiteral(" deve ser preenchida com um valor menor que a ")
                               + QString::fromUtf16(rule.secondName) + u'.',
                           info(rule.smaller).box};
        }
    }
    return std::nullopt;
}

bool BankLayout::acceptsKey(QChar key)
{
    return key == u'\b' || (key >= u'0' && key <= u'9');
}

QString BankLayout::stepped(Field field, const QString &text, int steps)
{
    const FieldInfo &f = info(field);
    const std::optional<int> value = numberOf(text);
    return QString::number(value ? std::clamp(*value + steps, f.minimum, f.maximum) : f.minimum);
}

BankLayout::LeaveResult BankLayout::leave(Field field, const QString &text)
{
    const std::optional<int> value = numberOf(text);
    if (!value)
        return {LeaveResult::NotANumber, text,
                QStringLiteral("'%1' is not a valid integer value").arg(text)};
    const FieldInfo &f = info(field);
    if (*value < f.minimum || *value > f.maximum)
        return {LeaveResult::OutOfRange, text, QStringLiteral("Valor Inválido")};
    return {LeaveResult::Accepted, text.size() == 1 ? QStringLiteral("0") + text : text, QString()};
}
