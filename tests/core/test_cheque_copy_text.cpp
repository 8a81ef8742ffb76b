#include "ChequeCopyText.h"
#include "QStringPrinter.h"
#include "Windows1252.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string blanks(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}

ChequeCopy sampleCopy()
{
    return {QStringLiteral("237"),        QStringLiteral("BRADESCO"), QStringLiteral("1234"),
            QStringLiteral("José da Silva"), QStringLiteral("São Paulo"),
            QStringLiteral("000123"),     QStringLiteral("12345-6"), QStringLiteral("1234,56"),
            QStringLiteral("Aluguel de dezembro"), QStringLiteral("3ª/12"),
            QDate(2026, 12, 8)};
}

std::string copyText(const ChequeCopy &copy)
{
    const auto text = chequeCopyText(copy);
    EXPECT_TRUE(text.has_value());
    return text ? text->toStdString() : std::string();
}

// Everything after the labelled lines, which the cases below vary.
const std::string kHead =
    blanks(60) + "R$ 1234,56\n\n"
    + blanks(10) + "UM MIL, DUZENTOS E TRINTA E QUATRO REAIS E CINQUENTA E SEIS CENTAVOS\n"
    + "\n\n\n"
    + blanks(40) + "S\xE3o Paulo,8 de dezembro de 2026\n\n"
    + blanks(5) + "Favorecido  : Jos\xE9 da Silva\n"
    + blanks(5) + "Num. Cheque : 000123\n";
const std::string kBankLines =
    blanks(5) + "Num. Banco  : 237\n"
    + blanks(5) + "Banco       : BRADESCO\n"
    + blanks(5) + "Agencia     : 1234\n"
    + blanks(5) + "Conta       : 12345-6\n";

} // namespace

TEST(ChequeCopyText, WholeCopyByteForByte)
{
    EXPECT_EQ(copyText(sampleCopy()),
              kHead + blanks(5) + "Num. Parcela: 3\xA6/12\n" + kBankLines + "\n" + blanks(36)
                  + "DESCRICAO\n" + blanks(5) + "Aluguel de dezembro\n");
}

TEST(ChequeCopyText, WithoutInstallmentOrDescription)
{
    ChequeCopy copy = sampleCopy();
    copy.parcela.clear();
    copy.descricao.clear();
    EXPECT_EQ(copyText(copy), kHead + kBankLines);
}

TEST(ChequeCopyText, WordsCutInSeventiesWithTheExactMultipleLine)
{
    ChequeCopy copy = sampleCopy();
    copy.valor = QStringLiteral("1294,55"); // its words are exactly 70 characters
    const std::string exact = copyText(copy);
    const std::string words = "UM MIL, DUZENTOS E NOVENTA E QUATRO REAIS E CINQUENTA E CINCO CENTAVOS";
    ASSERT_EQ(words.size(), 70u);
    EXPECT_NE(exact.find("R$ 1294,55\n\n" + blanks(10) + words + "\n" + blanks(10) + "\n\n\n\n"
                         + blanks(40) + "S"),
              std::string::npos);

    copy.valor = QStringLiteral("777.777.777,77"); // 129 characters: 70 and 59
    const std::string two = copyText(copy);
    const std::string first = "SETECENTOS E SETENTA E SETE MILHOES, SETECENTOS E SETENTA E SETE MIL, ";
    ASSERT_EQ(first.size(), 70u);
    EXPECT_NE(two.find("R$ 777.777.777,77\n\n" + blanks(10) + first + "\n" + blanks(10)
                       + "SETECENTOS E SETENTA E SETE REAIS E SETENTA E SETE CENTAVOS\n\n\n\n"),
              std::string::npos);
}

TEST(ChequeCopyText, DescriptionInSeventyFivesAndNoLengthLimit)
{
    ChequeCopy copy = sampleCopy();
    copy.descricao = QString(75, u'a') + QString(75, u'b');
    const std::string text = copyText(copy);
    const std::string block = "DESCRICAO\n" + blanks(5) + std::string(75, 'a') + "\n" + blanks(5)
                              + std::string(75, 'b') + "\n" + blanks(5) + "\n";
    ASSERT_GE(text.size(), block.size());
    EXPECT_EQ(text.substr(text.size() - block.size()), block);

    copy.descricao = QString(3000, u'x');
    const std::string longText = copyText(copy);
    EXPECT_GT(longText.size(), 3000u);
    EXPECT_EQ(std::count(longText.begin(), longText.end(), 'x'), 3000);
}

TEST(ChequeCopyText, AmountTexts)
{
    ChequeCopy copy = sampleCopy();
    copy.valor = QStringLiteral("doze");
    EXPECT_FALSE(chequeCopyText(copy).has_value());
}

TEST(ChequeCopyText, MonthNamesArePortugueseWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(longDatePtBr(QDate(2026, 3, 1)), QStringLiteral("1 de março de 2026"));
    EXPECT_EQ(longDatePtBr(QDate(2027, 1, 31)), QStringLiteral("31 de janeiro de 2027"));
    QLocale::setDefault(saved);
}

TEST(Windows1252, ConvertsOrMarksEachCharacter)
{
    EXPECT_EQ(toWindows1252(QStringLiteral("Ação é 1ª")), QByteArray("A\xE7\xE3o \xE9 1\xAA"));
    EXPECT_EQ(toWindows1252(QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")),
              QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94"
                         "\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"));
    EXPECT_EQ(toWindows1252(QStringLiteral("\u00A0\u00FF")), QByteArray("\xA0\xFF"));
    // Holes of the table, other scripts, a character beyond the BMP, NUL and
    // a lone surrogate each become one "?".
    QString odd = QStringLiteral("\u0081\u0100日😀") + QChar(0) + QChar(0xD800) + u'x';
    EXPECT_EQ(toWindows1252(odd), QByteArray("??????x"));
}
