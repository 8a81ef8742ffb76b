// The single-cheque report file over the data module's own queries, so a
// field the report names and the queries lack fails here, not in an office.
#include "DataModuleFixture.h"
#include "Relatorio.h"

#include <QFile>
#include <QTemporaryDir>

using namespace norvel::report;

namespace {

QString render(norvel::db::DbQuery &query, FileFormat format, const QString &path)
{
    QueryDataSet<norvel::db::DbQuery> data(query);
    QString error;
    EXPECT_TRUE(gravaRelatorio(QStringLiteral(RELATORIO), data, format, path, &error)) << error.toStdString();
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

// The query window hands its DbQuery straight to executaRelatorio, which
// reads it by field name, hidden fields included.
static_assert(FieldQuery<norvel::db::DbQuery>);

class ReportOverQueries : public DataModuleTest {};

TEST_F(ReportOverQueries, BothChequeQueriesFeedTheReport)
{
    const QDate day(2025, 11, 5);
    const int bank = insertBank(QStringLiteral("341"), QStringLiteral("Banco Itaú"));
    insertCheque(bank, day, {{"VALOR", QStringLiteral("1234,56")}});
    insertCheque(bank, day, {{"VALOR", QStringLiteral("0,05")}, {"FAVORECIDO", QStringLiteral("Ação São Paulo")},
                             {"STATUS", QStringLiteral("1")}});
    insertCheque(bank, day, {{"VALOR", QStringLiteral("100,00")}, {"JAIMPRESSO", -1}, {"DATAIMPRESSAO", day}});
    insertCheque(bank, day.addDays(3), {{"VALOR", QStringLiteral("7,00")}});

    QTemporaryDir dir;
    dm().ConsultaChequesData.setParam("DataEmissao", day);
    dm().ConsultaChequesData.reopen();
    const QString text = render(dm().ConsultaChequesData, FileFormat::Text, dir.filePath("data.txt"));
    EXPECT_TRUE(text.contains(QStringLiteral("Quantidade de cheques: 3")));
    EXPECT_TRUE(text.contains(QStringLiteral("Total: 1334,61")));
    EXPECT_EQ(text.count(QStringLiteral("341 Banco Itaú")), 3);
    EXPECT_EQ(text.count(QStringLiteral("05/11/2025")), 4) << "three issues and one print date";
    EXPECT_TRUE(text.contains(QStringLiteral("Cancelado")));
    EXPECT_TRUE(text.contains(QStringLiteral("Ação São Paulo")));

    dm().ConsultaChequesPeriodo.setParam("DataEmissaoInicial", day);
    dm().ConsultaChequesPeriodo.setParam("DataEmissaoFinal", day.addDays(3));
    dm().ConsultaChequesPeriodo.reopen();
    const QString html = render(dm().ConsultaChequesPeriodo, FileFormat::Html, dir.filePath("periodo.html"));
    EXPECT_EQ(html.count(QStringLiteral("<tr>")), 6) << "header, four cheques, total";
    EXPECT_TRUE(html.contains(QStringLiteral("Total: 1341,61")));
}
