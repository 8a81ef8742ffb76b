// The report engine's files over 10,000 synthetic cheques, read back as a
// user would read them, and the messages of broken report files and data.
#include "ReportTest.h"

#include "RecordingPresenter.h"
#include "ReportEngine.h"

#include <QApplication>
#include <QFileInfo>
#include <QRegularExpression>

using namespace norvel::report;

namespace {

constexpr int Rows = 10000;
const QDateTime printed(QDate(2025, 3, 14), QTime(9, 26));

// Renders the single-cheque report over Rows cheques once per format.
class TenThousandCheques : public ::testing::Test {
protected:
    struct Output {
        QString path;
        int pages = 0;
        QString total;
    };

    static Output render(FileFormat format)
    {
        QString error;
        const auto report = loadReport(QStringLiteral(RELATORIO), &error);
        EXPECT_TRUE(report) << error.toStdString();
        if (!report)
            return {};
        SyntheticCheques data(Rows);
        ReportEngine engine(*report, data);
        engine.setPrinted(printed);
        Output out;
        out.path = dir().filePath(QStringLiteral("cheques.") + defaultSuffix(format));
        EXPECT_TRUE(engine.writeFile(format, out.path)) << engine.errorString().toStdString();
        EXPECT_EQ(engine.layout().rows, Rows);
        out.pages = int(engine.layout().pages.size());
        out.total = engine.layout().sums.value(QStringLiteral("VALOR")).toText();
        return out;
    }

    static QTemporaryDir &dir()
    {
        static QTemporaryDir d;
        return d;
    }
};

int count(const QString &text, const QString &pattern)
{
    return int(text.count(QRegularExpression(pattern)));
}

} // namespace

TEST_F(TenThousandCheques, PdfHasEveryRowPageAndTotalAsText)
{
    const Output out = render(FileFormat::Pdf);
    const QString text = pdfText(out.path);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext read nothing";

    EXPECT_EQ(out.total, SyntheticCheques::totalText(Rows));
    EXPECT_GT(out.pages, 100);
    EXPECT_EQ(pdfInfo(out.path, QStringLiteral("Pages")).toInt(), out.pages);
    EXPECT_EQ(count(text, QStringLiteral("Página \\d+ de %1\\b").arg(out.pages)), out.pages);
    EXPECT_TRUE(text.contains(QStringLiteral("Página %1 de %1").arg(out.pages)));
    EXPECT_EQ(count(text, QStringLiteral("Impresso em 14/03/2025 às 09:26")), out.pages);

    EXPECT_EQ(count(text, QStringLiteral("Favorecido \\d{6}")), Rows - 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Quantidade de cheques: 10000")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Total:\\s+%1").arg(out.total))));
    // The long payee wraps inside its column, every word intact.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Ação Construções São\\s+Paulo[\\s\\S]{0,300}Ltda"))));
    EXPECT_TRUE(text.contains(QStringLiteral("Banco Itaú")));
    EXPECT_TRUE(text.contains(QStringLiteral("Administração")));
    EXPECT_FALSE(text.contains(QStringLiteral("30/12/1899"))) << "the zero date means not printed";
    EXPECT_EQ(pdfInfo(out.path, QStringLiteral("Title")), QStringLiteral("Relatório de Cheques Avulsos"));
}

TEST_F(TenThousandCheques, HtmlIsOneSelfContainedTable)
{
    const Output out = render(FileFormat::Html);
    const QString html = readAll(out.path);
    EXPECT_EQ(out.pages, 1);
    EXPECT_EQ(html.count(QStringLiteral("<table>")), 1);
    EXPECT_EQ(htmlRows(html), Rows);
    // The total closes the table under the amounts.
    EXPECT_TRUE(html.contains(QRegularExpression(
        QStringLiteral("<tfoot>\\n<tr><td colspan=\"6\">Quantidade de cheques: 10000</td><td style=\"text-align:right\">Total: %1</td>")
            .arg(SyntheticCheques::totalText(Rows)))));
    EXPECT_EQ(html.count(QStringLiteral("<th ")) + html.count(QStringLiteral("<th>")), 9);
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_FALSE(html.contains(QStringLiteral("src=")) || html.contains(QStringLiteral("<link")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>") + SyntheticCheques::AccentPayee + QStringLiteral("</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Quantidade de cheques: 10000")));
    EXPECT_TRUE(html.contains(SyntheticCheques::totalText(Rows)));
    EXPECT_FALSE(html.contains(QStringLiteral("Página"))) << "a page without pages has no page numbers";
    EXPECT_FALSE(html.contains(QStringLiteral("30/12/1899")));
}

TEST_F(TenThousandCheques, TextPagesAreTenCharsAndSixLinesPerInchWithColumnsAligned)
{
    const Output out = render(FileFormat::Text);
    const QString text = readAll(out.path);
    const QStringList pages = text.split(u'\f');
    ASSERT_EQ(pages.size(), out.pages);

    // A4 landscape: 11.69 by 8.27 inches.
    int valueEnd = -1;
    int payeeStart = -1;
    int detail = 0;
    const QRegularExpression payee(QStringLiteral("Favorecido \\d{6}"));
    const QRegularExpression amount(QStringLiteral("\\d+,\\d\\d(?=\\s|$)"));
    for (int p = 0; p < pages.size(); ++p) {
        const QStringList lines = pages[p].split(u'\n');
        EXPECT_LE(lines.size() - 1, 49) << "page " << p + 1;
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(out.pages)));
        for (const QString &line : lines) {
            EXPECT_LE(line.size(), 116) << line.toStdString();
            const auto m = payee.match(line);
            if (!m.hasMatch())
                continue;
            ++detail;
            if (payeeStart < 0)
                payeeStart = int(m.capturedStart());
            EXPECT_EQ(m.capturedStart(), payeeStart) << line.toStdString();
            QRegularExpressionMatch last;
            for (auto it = amount.globalMatch(line); it.hasNext();)
                last = it.next();
            if (valueEnd < 0)
                valueEnd = int(last.capturedEnd());
            EXPECT_EQ(last.capturedEnd(), valueEnd) << line.toStdString();
        }
    }
    EXPECT_EQ(detail, Rows - 1);

    const QString total = SyntheticCheques::totalText(Rows);
    const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("Total:\\s+") + total));
    ASSERT_GE(at, 0);
    const qsizetype lineStart = text.lastIndexOf(u'\n', at) + 1;
    EXPECT_EQ(text.indexOf(total, at) + total.size() - lineStart, valueEnd) << "the total sits under the values";
    EXPECT_TRUE(text.contains(QStringLiteral("Quantidade de cheques: 10000")));

    // The accented payee wraps at a word, its second line in the same column.
    const qsizetype first = text.indexOf(QStringLiteral("Ação Construções"));
    ASSERT_GE(first, 0);
    const qsizetype nextLine = text.indexOf(u'\n', first) + 1;
    EXPECT_EQ(text.indexOf(QStringLiteral("São Paulo Ltda"), nextLine) - nextLine, first - (text.lastIndexOf(u'\n', first) + 1));
}

// A summary that no longer fits under the last row opens a page of its own,
// with the page header and column titles, and is not lost or drawn over the footer.
TEST(ReportLayout, SummaryThatDoesNotFitOpensAPageWithTheHeaders)
{
    QString error;
    const auto report = loadReport(QStringLiteral(RELATORIO), &error);
    ASSERT_TRUE(report) << error.toStdString();
    QTemporaryDir dir;
    for (FileFormat format : {FileFormat::Text, FileFormat::Pdf}) {
        const QString path = dir.filePath(QStringLiteral("resumo.") + defaultSuffix(format));
        int rows = 0;
        for (int n = 20; n < 120 && !rows; ++n) {
            SyntheticCheques data(n);
            ReportEngine engine(*report, data);
            ASSERT_TRUE(engine.writeFile(format, path));
            const PageRows &last = engine.layout().pages.last();
            if (last.first == last.end && last.summary)
                rows = n;
        }
        ASSERT_GT(rows, 0) << "no row count left the summary alone";
        const QString text = format == FileFormat::Pdf ? pdfText(path) : readAll(path);
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        ASSERT_EQ(pages.size(), 2) << rows << " rows";
        EXPECT_TRUE(pages[0].contains(QStringLiteral("Favorecido %1").arg(rows - 1, 6, 10, QLatin1Char('0'))));
        EXPECT_FALSE(pages[0].contains(QStringLiteral("Quantidade de cheques")));
        EXPECT_TRUE(pages[1].contains(QStringLiteral("Quantidade de cheques: %1").arg(rows)));
        EXPECT_TRUE(pages[1].contains(QStringLiteral("Favorecido")) && pages[1].contains(QStringLiteral("Valor (R$)")));
        EXPECT_FALSE(pages[1].contains(QStringLiteral("Favorecido 0")));
        EXPECT_TRUE(pages[1].contains(QStringLiteral("Página 2 de 2")));
    }
}

namespace {

// Synthetic cheques whose first rows carry the largest amounts and the
// longest cheque number the register holds.
class LargeAmounts final : public DataSet {
public:
    static inline const QStringList amounts = {QStringLiteral("229627801,62"), QStringLiteral("99999999999,99"),
                                               QStringLiteral("999999999999,99"), QStringLiteral("100000000,00")};
    static inline const QString chequeNumber = QStringLiteral("9876543210");
    SyntheticCheques rows{1200};
    int rowCount() const override { return rows.rowCount(); }
    bool canFetchMore() const override { return rows.canFetchMore(); }
    void fetchMore() override { rows.fetchMore(); }
    bool hasField(const QString &f) const override { return rows.hasField(f); }
    QVariant value(int row, const QString &f) const override
    {
        if (row < amounts.size() && f == QLatin1String("VALOR"))
            return amounts[row];
        if (row == 0 && f == QLatin1String("NUMCHEQUE"))
            return chequeNumber;
        return rows.value(row, f);
    }
    static QString total()
    {
        qint64 sum = 0;
        for (int r = 0; r < 1200; ++r)
            sum += r < amounts.size() ? Money::parse(amounts[r])->centavos() : SyntheticCheques::centavos(r);
        return SyntheticCheques::centavosText(sum);
    }
};

} // namespace

// The report file and a copy whose amount column is too narrow for them
// and the payee's too wide: every amount whole in every output, the room
// taken from the widest text, the count and the total in the style of the
// amounts above them.
TEST(ReportAmounts, NoOutputCutsAnAmount)
{
    QTemporaryDir dir;
    QFile file(QStringLiteral(RELATORIO));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray narrow = file.readAll();
    ASSERT_TRUE(narrow.contains("field=\"VALOR\" format=\"money\" width=\"40.64\""));
    narrow.replace("format=\"money\" width=\"40.64\"", "format=\"money\" width=\"20.32\"");
    narrow.replace("FAVORECIDO\" width=\"45.72\"", "FAVORECIDO\" width=\"66.04\"");
    const QString narrowFile = writeFile(dir, QStringLiteral("estreito.rav"), narrow);
    for (const QString &reportFile : {QStringLiteral(RELATORIO), narrowFile}) {
        for (FileFormat format : todosOsFormatos()) {
            LargeAmounts data;
            const QString out = dir.filePath(QStringLiteral("valores.") + defaultSuffix(format));
            QString error;
            ASSERT_TRUE(gravaRelatorio(reportFile, data, format, out, &error)) << error.toStdString();
            const QString text = format == FileFormat::Pdf ? pdfText(out) : readAll(out);
            const auto where = QStringLiteral("%1 %2").arg(reportFile, defaultSuffix(format)).toStdString();
            for (const QString &amount : LargeAmounts::amounts)
                EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[\\s>]%1[\\s<]").arg(amount))))
                    << amount.toStdString() << " in " << where;
            EXPECT_TRUE(text.contains(QStringLiteral("Quantidade de cheques: 1200"))) << where;
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Total:\\s+%1").arg(LargeAmounts::total()))))
                << where;
            EXPECT_TRUE(text.contains(LargeAmounts::chequeNumber)) << where;
        }
    }
}

namespace {

const QByteArray minimalReport = R"(<?xml version="1.0" encoding="UTF-8"?>
<report title="Teste">
  <page size="A4" orientation="portrait"/>
  <columns>
    <column title="Valor" field="VALOR" format="money" width="30"/>
  </columns>
  <summary height="5"><text>{#sum:VALOR}</text></summary>
</report>
)";

// Synthetic cheques with one amount that is not an amount.
class BadAmount final : public DataSet {
public:
    SyntheticCheques rows{50};
    int rowCount() const override { return rows.rowCount(); }
    bool hasField(const QString &f) const override { return rows.hasField(f); }
    QVariant value(int row, const QString &f) const override
    {
        return row == 5 && f == QLatin1String("VALOR") ? QVariant(QStringLiteral("12,3x")) : rows.value(row, f);
    }
};

// 923 cheques of the largest amount already pass what a sum holds.
class LargestAmounts final : public DataSet {
public:
    SyntheticCheques rows{1000};
    int rowCount() const override { return rows.rowCount(); }
    bool hasField(const QString &f) const override { return rows.hasField(f); }
    QVariant value(int row, const QString &f) const override
    {
        return f == QLatin1String("VALOR") ? QVariant(QStringLiteral("999999999999,99")) : rows.value(row, f);
    }
};

class CancelAt final : public Progress {
public:
    explicit CancelAt(int page) : page_(page) {}
    bool pageDone(Stage, int page) override { return page < page_; }

private:
    int page_;
};

} // namespace

// Every failure is one message naming the report file, and nothing is shown or written besides it.
TEST(ReportErrors, BrokenFilesAndDataGiveOneMessageNamingTheFile)
{
    QTemporaryDir dir;
    SyntheticCheques data(10);
    RecordingPresenter presenter;

    const QString missing = dir.filePath(QStringLiteral("Relatorio.rav"));
    EXPECT_FALSE(executaRelatorio(missing, data));
    ASSERT_EQ(presenter.boxes.size(), 1);
    EXPECT_TRUE(presenter.lastText().contains(missing)) << presenter.lastText().toStdString();
    EXPECT_EQ(presenter.boxes.last().icon, MessagePresenter::Icon::Error);
    EXPECT_TRUE(presenter.dialogTitles.isEmpty()) << "no Output Options for a missing file";

    QByteArray broken = minimalReport;
    broken.replace("</columns>", "</colunas>"); // line 6
    const QString syntax = writeFile(dir, QStringLiteral("sintaxe.rav"), broken);
    EXPECT_FALSE(executaRelatorio(syntax, data));
    EXPECT_TRUE(presenter.lastText().contains(syntax));
    EXPECT_TRUE(presenter.lastText().contains(QStringLiteral("linha 6"))) << presenter.lastText().toStdString();

    QByteArray unknown = minimalReport;
    unknown.replace("field=\"VALOR\"", "field=\"VALORX\"");
    const QString field = writeFile(dir, QStringLiteral("campo.rav"), unknown);
    EXPECT_FALSE(executaRelatorio(field, data));
    EXPECT_TRUE(presenter.lastText().contains(QStringLiteral("\"VALORX\"")));
    EXPECT_TRUE(presenter.lastText().contains(field));

    QByteArray variable = minimalReport;
    variable.replace("{#sum:VALOR}", "{#pagina}"); // line 7
    const QString var = writeFile(dir, QStringLiteral("variavel.rav"), variable);
    EXPECT_FALSE(executaRelatorio(var, data));
    EXPECT_TRUE(presenter.lastText().contains(QStringLiteral("linha 7"))) << presenter.lastText().toStdString();
    EXPECT_TRUE(presenter.lastText().contains(QStringLiteral("{#pagina}")));

    QByteArray wide = minimalReport;
    wide.replace("width=\"30\"", "width=\"300\"");
    QString error;
    EXPECT_FALSE(loadReport(writeFile(dir, QStringLiteral("largo.rav"), wide), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("300 mm"))) << error.toStdString();

    EXPECT_EQ(presenter.boxes.size(), 4);
    EXPECT_TRUE(presenter.dialogTitles.isEmpty());
}

TEST(ReportErrors, AnAmountThatDoesNotParseStopsTheReportInsteadOfCountingZero)
{
    QTemporaryDir dir;
    BadAmount data;
    for (FileFormat format : todosOsFormatos()) {
        const QString out = dir.filePath(QStringLiteral("saida.") + defaultSuffix(format));
        QString error;
        EXPECT_FALSE(gravaRelatorio(QStringLiteral(RELATORIO), data, format, out, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("\"12,3x\""))) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("linha 6")));
        EXPECT_TRUE(error.contains(QStringLiteral("Relatorio.rav")));
        EXPECT_FALSE(QFileInfo::exists(out)) << defaultSuffix(format).toStdString();
    }
}

TEST(ReportErrors, ATotalBeyondWhatASumHoldsStopsTheReportInsteadOfWrappingAround)
{
    QTemporaryDir dir;
    LargestAmounts data;
    const QString out = dir.filePath(QStringLiteral("saida.txt"));
    QString error;
    EXPECT_FALSE(gravaRelatorio(QStringLiteral(RELATORIO), data, FileFormat::Text, out, &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("a soma do campo VALOR passa do maior valor que o programa calcula.")))
        << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(ReportErrors, CancelLeavesNoFileAndNoMessage)
{
    QTemporaryDir dir;
    SyntheticCheques data(2000);
    for (FileFormat format : {FileFormat::Pdf, FileFormat::Text}) {
        CancelAt cancel(3);
        const QString out = dir.filePath(QStringLiteral("cancelado.") + defaultSuffix(format));
        QString error = QStringLiteral("not cleared");
        EXPECT_FALSE(gravaRelatorio(QStringLiteral(RELATORIO), data, format, out, &error, &cancel));
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
    }
}

TEST(ReportTemplates, PlaceholdersAndBraces)
{
    QString error;
    const auto t = TextTemplate::parse(QStringLiteral("{{x}} {NUMBANCO}-{#sum:VALOR} {#page}/{#pages}"), &error);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->parts.size(), 8);
    EXPECT_EQ(t->parts[0].text, QStringLiteral("{x} "));
    EXPECT_EQ(t->parts[1].kind, TextTemplate::Part::Field);
    EXPECT_EQ(t->parts[3].kind, TextTemplate::Part::Sum);
    EXPECT_EQ(t->parts[3].text, QStringLiteral("VALOR"));
    for (const char *bad : {"{#soma:VALOR}", "{VALOR", "VALOR}", "{}", "{#sum:}"})
        EXPECT_FALSE(TextTemplate::parse(QString::fromLatin1(bad), &error)) << bad;
}

int main(int argc, char **argv)
{
    // Test discovery runs the program outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
