// Report files a user may edit or receive, made to do harm: each is refused
// with one message in Portuguese that names the line and shows what it
// quotes whole but short; a row no page can hold stops the report.
#include "ReportTest.h"

#include "ReportEngine.h"

#include <QFileInfo>

using namespace norvel::report;

namespace {

QByteArray reportFile()
{
    QFile f(QStringLiteral(RELATORIO));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

struct Hostile {
    const char *what;
    QByteArray from;
    QByteArray to;
    QString expected; // in the message
    int linesOn = 0;  // the line named, after the first replaced one
};

} // namespace

TEST(HostileReportFiles, RefusedWithTheLineAndTheValueShownWholeButShort)
{
    const QByteArray base = reportFile();
    const QByteArray oneColumn = "<column title=\"x\" field=\"STATUS1\" width=\"1\"/>\n";
    const Hostile cases[] = {
        {"a line wider than any page", "<line y=\"1\"/>", "<line y=\"1\" width=\"5400000000\"/>", "\"5400000000\""},
        {"a header text past the file's bound", "{#title}", "{#title}" + QByteArray(2'000'000, 'A'), "1048576 bytes"},
        {"a header text no page shows", "{#title}", QByteArray(5000, 'A'), "5000 caracteres"},
        // The 101st column, after the file's nine.
        {"columns no page holds", "</columns>", oneColumn.repeated(101) + "</columns>", "100 colunas", 91},
        {"nan", "row-height=\"4.23\"", "row-height=\"nan\"", "\"nan\""},
        {"inf", "row-height=\"4.23\"", "row-height=\"inf\"", "\"inf\""},
        {"an exponent", "row-height=\"4.23\"", "row-height=\"1e6\"", "\"1e6\""},
        {"a column past int", "column=\"7\"", "column=\"1e10\"", "a coluna \"1e10\" não existe"},
        {"a column that is no number", "column=\"7\"", "column=\"nan\"", "a coluna \"nan\" não existe"},
        {"an entity bomb", "<report ", "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">]>\n<report ",
         "DOCTYPE"},
        {"the parser's own error", "</columns>", "</colunas>", "a marca de fim não corresponde"},
        {"an emoji", "size=\"A4\"", "size=\"A4\xF0\x9F\x98\x80\"", QStringLiteral("\"A4😀\"")},
        {"a trailing no-break space", "{#title}", "{#title\xC2\xA0}", "\"{#title<U+00A0>}\""},
        {"a 100,000-character field name", "field=\"STATUS1\"", "field=\"" + QByteArray(100'000, 'F') + '"',
         "100000 caracteres"},
        {"bytes that are not UTF-8", "Status", "St\xE1tus", "UTF-8"},
    };
    for (const Hostile &c : cases) {
        ASSERT_TRUE(base.contains(c.from)) << c.what;
        const int line = int(base.left(base.indexOf(c.from)).count('\n')) + 1 + c.linesOn;
        QByteArray file = base;
        file.replace(base.indexOf(c.from), c.from.size(), c.to);
        QString error;
        EXPECT_FALSE(readReport(file, QStringLiteral("hostil.rav"), &error)) << c.what;
        EXPECT_TRUE(error.contains(QStringLiteral("linha %1:").arg(line))) << c.what << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(c.expected)) << c.what << ": " << error.toStdString();
        EXPECT_LT(error.size(), 300) << c.what;
        EXPECT_FALSE(error.contains(QChar::ReplacementCharacter) || error.contains(QStringLiteral("Expected"))
                     || error.contains(QStringLiteral(" limit")))
            << c.what << ": " << error.toStdString();
    }

    // A long name the data lack is named short too.
    QByteArray longField = base;
    longField.replace("field=\"STATUS1\"", "field=\"" + QByteArray(900, 'F') + '"');
    QString error;
    const auto report = readReport(longField, QStringLiteral("campo.rav"), &error);
    ASSERT_TRUE(report) << error.toStdString();
    SyntheticCheques data(1);
    error = missingFieldError(*report, data);
    EXPECT_TRUE(error.contains(QStringLiteral("900 caracteres"))) << error.toStdString();
    EXPECT_LT(error.size(), 300);
}

namespace {

// Synthetic cheques, one of them with a payee of 2,000 characters.
class LongPayee final : public DataSet {
public:
    SyntheticCheques rows{40};
    int rowCount() const override { return rows.rowCount(); }
    bool hasField(const QString &f) const override { return rows.hasField(f); }
    QVariant value(int row, const QString &f) const override
    {
        if (row == 3 && f == QLatin1String("FAVORECIDO"))
            return QStringLiteral("palavra ").repeated(250);
        return rows.value(row, f);
    }
};

} // namespace

// A row taller than a page would be cut on paper: the paged outputs refuse
// it, naming the row; HTML, which has no pages, holds it whole.
TEST(HostileReportData, ARowTallerThanAPageIsNotCut)
{
    QTemporaryDir dir;
    for (FileFormat format : todosOsFormatos()) {
        LongPayee data;
        const QString out = dir.filePath(QStringLiteral("alto.") + defaultSuffix(format));
        QString error;
        const bool ok = gravaRelatorio(QStringLiteral(RELATORIO), data, format, out, &error);
        if (format == FileFormat::Html) {
            EXPECT_TRUE(ok) << error.toStdString();
            EXPECT_TRUE(readAll(out).contains(data.value(3, QStringLiteral("FAVORECIDO")).toString().trimmed()));
            continue;
        }
        EXPECT_FALSE(ok) << defaultSuffix(format).toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("linha 4 dos dados"))) << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
    }
}

namespace {

// Synthetic cheques whose payees are emoji, two UTF-16 units each.
class EmojiPayees final : public DataSet {
public:
    SyntheticCheques rows{3};
    int rowCount() const override { return rows.rowCount(); }
    bool hasField(const QString &f) const override { return rows.hasField(f); }
    QVariant value(int row, const QString &f) const override
    {
        return f == QLatin1String("FAVORECIDO") || f == QLatin1String("STATUS1") ? QStringLiteral("😀").repeated(25 + row)
                                                                                : rows.value(row, f);
    }
};

} // namespace

// A column cuts or wraps between characters, never inside one.
TEST(HostileReportData, CharactersStayWholeInText)
{
    QTemporaryDir dir;
    EmojiPayees data;
    const QString out = dir.filePath(QStringLiteral("emoji.txt"));
    QString error;
    ASSERT_TRUE(gravaRelatorio(QStringLiteral(RELATORIO), data, FileFormat::Text, out, &error)) << error.toStdString();
    const QString text = readAll(out);
    EXPECT_TRUE(text.contains(QStringLiteral("😀😀😀")));
    // A lone half of a pair is written as "?" or U+FFFD.
    EXPECT_FALSE(text.contains(u'?') || text.contains(QChar::ReplacementCharacter));
}
