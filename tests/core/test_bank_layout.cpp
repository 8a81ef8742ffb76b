#include "BankLayout.h"
#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const QString kDefaults = QStringLiteral("016080050880060180070180125247546075");

BankLayout withTexts(std::vector<std::pair<BankLayout::Field, const char *>> changes)
{
    BankLayout layout;
    for (const auto &[field, text] : changes)
        layout.setText(field, QString::fromLatin1(text));
    return layout;
}

} // namespace

TEST(BankLayoutText, DefaultsEncodeValidateAndDecodeBack)
{
    const BankLayout layout;
    EXPECT_EQ(layout.encode(), kDefaults);
    EXPECT_FALSE(layout.validate().has_value());

    const BankLayout decoded = BankLayout::decode(kDefaults);
    for (int f = 0; f < BankLayout::FieldCount; ++f) {
        const auto field = static_cast<BankLayout::Field>(f);
        EXPECT_EQ(decoded.text(field), BankLayout::info(field).defaultText) << f;
    }
}

TEST(BankLayoutText, DecodeTakesPiecesUnchangedAndIgnoresTheRest)
{
    const BankLayout shortText = BankLayout::decode(QStringLiteral("01608"));
    EXPECT_EQ(shortText.text(BankLayout::LinhaValor), QStringLiteral("01"));
    EXPECT_EQ(shortText.text(BankLayout::ColIniValor), QStringLiteral("60"));
    EXPECT_EQ(shortText.text(BankLayout::ColFimValor), QStringLiteral("8"));
    EXPECT_EQ(shortText.text(BankLayout::LinhaExtenso1), QString());
    EXPECT_EQ(shortText.text(BankLayout::ColIniAno), QString());

    const BankLayout longText = BankLayout::decode(kDefaults + QStringLiteral("999"));
    EXPECT_EQ(longText.encode(), kDefaults);

    const BankLayout odd = BankLayout::decode(QStringLiteral("x1") + kDefaults.mid(2));
    EXPECT_EQ(odd.text(BankLayout::LinhaValor), QStringLiteral("x1"));
}

struct RuleCase {
    int rule;
    std::vector<std::pair<BankLayout::Field, const char *>> changes;
    const char16_t *message;
    const char *focus;
};

class BankLayoutRule : public testing::TestWithParam<RuleCase> {};

// Each rule broken by making its two fields equal, from the defaults.
TEST_P(BankLayoutRule, EqualValuesBreakTheRuleWithItsMessageAndFocus)
{
    const RuleCase &c = GetParam();
    const auto problem = withTexts(c.changes).validate();
    ASSERT_TRUE(problem.has_value()) << "rule " << c.rule;
    EXPECT_EQ(problem->message, QString::fromUtf16(c.message)) << "rule " << c.rule;
    EXPECT_EQ(problem->focusBox, QString::fromLatin1(c.focus)) << "rule " << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    TwelveRules, BankLayoutRule,
    testing::Values(
        RuleCase{1, {{BankLayout::LinhaValor, "05"}, {BankLayout::LinhaExtenso1, "05"}},
                 u"A linha do campo \"Valor\" deve ser preenchida com um valor menor que a linha do "
                 u"campo \"1ª Linha Extenso\" .",
                 "edtLinhaValor"},
        RuleCase{2, {{BankLayout::ColIniValor, "80"}},
                 u"A Col. Ini do campo \"Valor\" deve ser preenchida com um valor menor que a Col. "
                 u"Fim do campo \"Valor\".",
                 "edtColIniValor"},
        RuleCase{3, {{BankLayout::LinhaExtenso1, "06"}},
                 u"A linha do campo \"1ª Linha Extenso\" deve ser preenchida com um valor menor que "
                 u"a linha do campo \"2ª Linha Extenso\".",
                 "edtLinhaExtenso1"},
        RuleCase{4, {{BankLayout::ColIniExtenso1, "80"}},
                 u"A Col. Ini. do campo \"1ª Linha Extenso\" deve ser preenchida com um valor menor "
                 u"que a Col. Fim co campo \"1ª Linha Extenso\".",
                 "edtColIniExtenso1"},
        RuleCase{5, {{BankLayout::LinhaExtenso2, "07"}},
                 u"A Linha do campo \"2ª linha Extenso\" deve ser preenchida com um valor menor que "
                 u"a Linha do campo \"Favorecido\".",
                 "edtLinhaExtenso2"},
        RuleCase{6, {{BankLayout::ColIniExtenso2, "80"}},
                 u"A Col.Ini. do campo \"2ª linha Extenso\" deve ser preenchida com um valor menor "
                 u"que a Col. Fim do campo \"2ª linha Extenso\".",
                 "edtColIniExtenso2"},
        RuleCase{7, {{BankLayout::LinhaFavorecido, "12"}},
                 u"A Linha do campo \"Favorecido\" deve ser preenchida com um valor menor que a "
                 u"Linha do campo \"Cidade\".",
                 "edtLinhaFavorecido"},
        RuleCase{8, {{BankLayout::ColIniFavorecido, "80"}},
                 u"A Col. Ini. do campo \"Favorecido\" deve ser preenchida com um valor menor que a "
                 u"Col. Fim do campo \"Favorecido\".",
                 "edtColIniFavorecido"},
        RuleCase{9, {{BankLayout::ColIniNumCheque, "52"}, {BankLayout::ColFimCidade, "52"}},
                 u"A Col.Ini. do campo \"NumCheque\" deve ser preenchida com um valor menor que a "
                 u"Col. Fim do campo \"Cidade\".",
                 "edtColIniNumCheque"},
        RuleCase{10,
                 {{BankLayout::ColIniNumCheque, "54"}, {BankLayout::ColIniDia, "54"},
                  {BankLayout::ColFimCidade, "60"}},
                 u"A Col. Ini do campo \"NumCheque\" deve ser preenchida com um valor menor que a "
                 u"Col.Ini. do campo \"Dia\".",
                 "edtColIniNumCheque"},
        RuleCase{11, {{BankLayout::ColIniDia, "60"}},
                 u"A Col. Ini do campo \"Dia\" deve ser preenchida com um valor menor que a Col. "
                 u"Ini. do campo \"Mês\".",
                 "edtColIniDia"},
        RuleCase{12, {{BankLayout::ColIniMes, "75"}},
                 u"A Col. Ini. do campo \"Mês\" deve ser preenchida com um valor menor que a Col. "
                 u"Ini. do campo \"Ano\".",
                 "edtColIniMes"}));

TEST(BankLayoutValidate, FirstBrokenRuleWins)
{
    const auto problem =
        withTexts({{BankLayout::ColIniMes, "80"}, {BankLayout::ColIniValor, "80"}}).validate();
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->focusBox, QStringLiteral("edtColIniValor"));
}

TEST(BankLayoutValidate, OutOfRangeNumberPassesWhenOrdered)
{
    const BankLayout layout = withTexts({{BankLayout::LinhaCidade, "25"}});
    EXPECT_FALSE(layout.validate().has_value());
    EXPECT_EQ(layout.encode(), QStringLiteral("016080050880060180070180255247546075"));
}

TEST(BankLayoutValidate, RefusesBoxesWithoutTwoDigitsNamingTheBox)
{
    // Empty as the smaller side of rule 1: the rules hold, the text would be 34 long.
    const auto empty = withTexts({{BankLayout::LinhaValor, ""}}).validate();
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->message, QStringLiteral("O campo \"Linha\" de \"Valor\" deve ser preenchido "
                                             "com um número de dois dígitos."));
    EXPECT_EQ(empty->focusBox, QStringLiteral("edtLinhaValor"));

    // Empty as the larger side: the empty box is named, not its neighbour.
    const auto emptyLarger = withTexts({{BankLayout::ColFimValor, ""}}).validate();
    ASSERT_TRUE(emptyLarger.has_value());
    EXPECT_EQ(emptyLarger->message, QStringLiteral("O campo \"Col. Fim\" de \"Valor\" deve ser "
                                                   "preenchido com um número de dois dígitos."));
    EXPECT_EQ(emptyLarger->focusBox, QStringLiteral("edtColFimValor"));

    // A short stored text shown unchanged cannot be stored again.
    const auto shortText = BankLayout::decode(kDefaults.left(35)).validate();
    ASSERT_TRUE(shortText.has_value());
    EXPECT_EQ(shortText->focusBox, QStringLiteral("edtColIniAno"));
    EXPECT_TRUE(shortText->message.contains(QStringLiteral("\"Col. Ini\" de \"Ano\"")));
}

TEST(BankLayoutEntry, LeavingABoxPadsOrRefuses)
{
    using R = BankLayout::LeaveResult;
    const R seven = BankLayout::leave(BankLayout::LinhaValor, QStringLiteral("7"));
    EXPECT_EQ(seven.outcome, R::Accepted);
    EXPECT_EQ(seven.text, QStringLiteral("07"));

    const R zeroLine = BankLayout::leave(BankLayout::LinhaCidade, QStringLiteral("0"));
    EXPECT_EQ(zeroLine.outcome, R::OutOfRange);
    EXPECT_EQ(zeroLine.message, QStringLiteral("Valor Inválido"));
    EXPECT_EQ(zeroLine.text, QStringLiteral("0"));

    const R zeroColumn = BankLayout::leave(BankLayout::ColIniDia, QStringLiteral("0"));
    EXPECT_EQ(zeroColumn.outcome, R::Accepted);
    EXPECT_EQ(zeroColumn.text, QStringLiteral("00"));

    const R tooLow = BankLayout::leave(BankLayout::LinhaValor, QStringLiteral("25"));
    EXPECT_EQ(tooLow.outcome, R::OutOfRange);
    EXPECT_EQ(tooLow.text, QStringLiteral("25"));
    EXPECT_EQ(BankLayout::leave(BankLayout::LinhaValor, QStringLiteral("20")).outcome, R::Accepted);
    EXPECT_EQ(BankLayout::leave(BankLayout::ColFimValor, QStringLiteral("80")).outcome, R::Accepted);
    EXPECT_EQ(BankLayout::leave(BankLayout::ColFimValor, QStringLiteral("81")).outcome,
              R::OutOfRange);

    const R empty = BankLayout::leave(BankLayout::ColFimValor, QString());
    EXPECT_EQ(empty.outcome, R::NotANumber);
    EXPECT_EQ(empty.message, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(empty.text, QString());
}

TEST(BankLayoutEntry, KeysAndUpDownSteps)
{
    for (QChar c : QStringLiteral("0123456789\b"))
        EXPECT_TRUE(BankLayout::acceptsKey(c)) << int(c.unicode());
    for (QChar c : QStringLiteral("a -,.\x7f\u0660"))
        EXPECT_FALSE(BankLayout::acceptsKey(c)) << int(c.unicode());

    EXPECT_EQ(BankLayout::stepped(BankLayout::LinhaValor, QStringLiteral("07"), 1), QStringLiteral("8"));
    EXPECT_EQ(BankLayout::stepped(BankLayout::LinhaValor, QStringLiteral("20"), 1), QStringLiteral("20"));
    EXPECT_EQ(BankLayout::stepped(BankLayout::LinhaValor, QStringLiteral("25"), -1), QStringLiteral("20"));
    EXPECT_EQ(BankLayout::stepped(BankLayout::LinhaValor, QStringLiteral("01"), -1), QStringLiteral("1"));
    EXPECT_EQ(BankLayout::stepped(BankLayout::ColIniDia, QStringLiteral("00"), -1), QStringLiteral("0"));
    EXPECT_EQ(BankLayout::stepped(BankLayout::ColIniDia, QStringLiteral("79"), 1), QStringLiteral("80"));
    EXPECT_EQ(BankLayout::stepped(BankLayout::LinhaValor, QString(), 1), QStringLiteral("1"));
}
