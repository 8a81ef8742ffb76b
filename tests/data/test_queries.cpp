// The lists and consultations: result fields, row order, labels, the bank
// filter and fetching in chunks.
#include "DataModuleFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using norvel::db::DbQuery;

namespace {

const QStringList chequeColumns = {"IDCHEQUE", "NUMAGENCIA", "IDBANCO", "IDCENTROCUSTO", "NUMCHEQUE", "CONTACORRENTE",
                                   "DATAEMISSAO", "DATAIMPRESSAO", "FAVORECIDO", "LOCALIDADE", "VALOR", "JAIMPRESSO",
                                   "IMPORTADO", "TERCEIRO", "IDCOMPENSACAO", "DESCRICAO", "STATUS"};
const QStringList seriesColumns = {"IDPREDATADO", "NUMAGENCIA", "IDBANCO", "IDCENTROCUSTO", "NUMINICIALCHEQUE",
                                   "CONTACORRENTE", "DATAINICIALEMISSAO", "DATAIMPRESSAO", "FAVORECIDO", "LOCALIDADE",
                                   "VALOR", "JAIMPRESSO", "IMPORTADO", "TERCEIRO", "IDCOMPENSACAO", "NUMPARCELAS",
                                   "VALORPERIODOIMPRESSAO", "PERIODOIMPRESSAO", "DESCRICAO", "STATUS"};
const QStringList names = {"NOMEBANCO", "NUMBANCO", "NOMECENTROCUSTO", "NOMECOMPENSACAO"};

const QDate day(2025, 11, 5);

QString header(const DbQuery& q, const QString& field)
{
    const int column = q.columnOf(field);
    return column < 0 ? QStringLiteral("<hidden>") : q.headerData(column, Qt::Horizontal).toString();
}

// Sets every parameter of a consultation to one date and reopens it.
void openOn(DbQuery& q, const QDate& date)
{
    for (int i = 0; i < q.paramNames().size(); ++i)
        q.setParam(i, date);
    q.reopen();
}

} // namespace

class QueryTest : public DataModuleTest {};

TEST_F(QueryTest, EveryQueryGivesItsFieldsInOrder)
{
    const int bank = insertBank(QStringLiteral("001"));
    insertCheque(bank, day);
    insertSeries(bank, day);
    const struct {
        DbQuery& query;
        QStringList fields;
    } expected[] = {
        {dm().ListaBancos, {"IDBANCO", "NUMBANCO", "NOMEBANCO", "POSICOESBANCO", "SIGLABANCO"}},
        {dm().ListaBancos2, {"IDBANCO", "NUMBANCO", "BANCO"}},
        {dm().ListaCentroCustos, {"IDCENTROCUSTO", "NOMECENTROCUSTO"}},
        {dm().ListaCompensacao, {"IDCOMPENSACAO", "NOMECOMPENSACAO"}},
        {dm().ListaFavorecidos, {"IDFAVORECIDO", "NOMEFAVORECIDO"}},
        {dm().ListaCheques, chequeColumns + QStringList{"DATAIMPRESSAO1"} + names},
        {dm().listaPreDatados, seriesColumns + QStringList{"DATAIMPRESSAO1"} + names},
        {dm().ConsultaChequesData, chequeColumns + QStringList{"TERCEIRO1", "JAIMPRESSO1", "STATUS1"} + names},
        {dm().ConsultaChequesPeriodo, chequeColumns + QStringList{"JAIMPRESSO1", "TERCEIRO1", "STATUS1"} + names},
        {dm().ConsultaPredatadoData, seriesColumns + QStringList{"TERCEIRO1", "JAIMPRESSO1", "STATUS1", "PERIODO_PARCELAS"} + names},
        {dm().ConsultaPredatadoPeriodo, seriesColumns + QStringList{"TERCEIRO1", "JAIMPRESSO1", "STATUS1", "PERIODO_PARCELAS"} + names},
        {dm().spConsultaBanco, {"NUMBANCO"}},
    };
    for (const auto& e : expected) {
        for (int i = 0; i < e.query.paramNames().size(); ++i)
            e.query.setParam(i, e.query.paramNames()[i] == QLatin1String("NUMBANCOADD") ? QVariant("001") : QVariant(day));
        e.query.reopen();
        EXPECT_EQ(e.query.fieldNames(), e.fields) << e.query.name().toStdString();
        EXPECT_EQ(e.query.rowCount(), 1) << e.query.name().toStdString();
    }
}

TEST_F(QueryTest, ParametersAreNamedAsInTheStatements)
{
    EXPECT_EQ(dm().ConsultaChequesData.paramNames(), QStringList{"DataEmissao"});
    EXPECT_EQ(dm().ConsultaChequesPeriodo.paramNames(), (QStringList{"DataEmissaoInicial", "DataEmissaoFinal"}));
    EXPECT_EQ(dm().ConsultaPredatadoData.paramNames(), QStringList{"DataEmissao"});
    EXPECT_EQ(dm().ConsultaPredatadoPeriodo.paramNames(), (QStringList{"DataEmissaoInicial", "DataEmissaoFinal"}));
    EXPECT_EQ(dm().spConsultaBanco.paramNames(), QStringList{"NUMBANCOADD"});
    // Statement texts are kept as written, doubled blanks included.
    EXPECT_EQ(dm().ListaCompensacao.sql(), QStringLiteral("select * from  COMPENSACAO order by IDCOMPENSACAO"));
    EXPECT_EQ(dm().ListaFavorecidos.sql(), QStringLiteral("select *  from FAVORECIDO order by NOMEFAVORECIDO"));
    EXPECT_EQ(dm().spConsultaBanco.sql(), QStringLiteral("select NUMBANCO from BANCOS where NUMBANCO =:NUMBANCOADD;"));
    EXPECT_TRUE(dm().ConsultaChequesPeriodo.sql().startsWith(QStringLiteral(
        "select cheques.*, CASE WHEN cheques.JAIMPRESSO = 0\n    THEN 'Não'\n    ELSE 'Sim'\n  END AS JaImpresso1,\n CASE")));
    EXPECT_TRUE(dm().ConsultaPredatadoData.sql().contains(
        QStringLiteral("compensacao.idcompensacao\n\nwhere chequepredatado.datainicialemissao =:DataEmissao\n")));
}

TEST_F(QueryTest, StartListsOpenAndTheConsultationsWait)
{
    for (DbQuery* q : {&dm().ListaBancos, &dm().ListaBancos2, &dm().ListaCentroCustos, &dm().ListaCompensacao,
                       &dm().ListaCheques, &dm().ListaFavorecidos})
        EXPECT_TRUE(q->isActive()) << q->name().toStdString();
    for (DbQuery* q : {&dm().listaPreDatados, &dm().ConsultaChequesData, &dm().ConsultaChequesPeriodo,
                       &dm().ConsultaPredatadoData, &dm().ConsultaPredatadoPeriodo, &dm().spConsultaBanco})
        EXPECT_FALSE(q->isActive()) << q->name().toStdString();
    EXPECT_EQ(dm().dsConsultaCheques, &dm().ConsultaChequesData);
    EXPECT_EQ(dm().dsConsultaPreDatados, &dm().ConsultaPredatadoData);
    EXPECT_TRUE(dm().ibTransacao.inTransaction());
    EXPECT_TRUE(dm().FiltroBanco.isEmpty());
}

TEST_F(QueryTest, ListsComeInTheirOrder)
{
    insertBank(QStringLiteral("341"));
    insertBank(QStringLiteral("001"));
    insertBank(QStringLiteral("104"));
    write(dm().spInsereFavorecido, {{"NOMEFAVORECIDO", QStringLiteral("Zélia")}});
    write(dm().spInsereFavorecido, {{"NOMEFAVORECIDO", QStringLiteral("Antônio")}}, {&dm().ListaFavorecidos});
    QStringList banks, payees;
    for (int r = 0; r < dm().ListaBancos.rowCount(); ++r)
        banks << dm().ListaBancos.value(r, "NUMBANCO").toString();
    for (int r = 0; r < dm().ListaFavorecidos.rowCount(); ++r)
        payees << dm().ListaFavorecidos.value(r, "NOMEFAVORECIDO").toString();
    EXPECT_EQ(banks, (QStringList{"001", "104", "341"}));
    EXPECT_EQ(payees, (QStringList{"Antônio", "Portador", "Zélia"}));
}

TEST_F(QueryTest, PeriodOfOneDayGivesTheSameRowsAsTheDate)
{
    const int bank = insertBank(QStringLiteral("237"));
    for (const QDate& d : {day, day.addDays(1), day, day.addDays(-1), day})
        insertCheque(bank, d);
    openOn(dm().ConsultaChequesData, day);
    openOn(dm().ConsultaChequesPeriodo, day);
    ASSERT_EQ(dm().ConsultaChequesData.rowCount(), 3);
    ASSERT_EQ(dm().ConsultaChequesPeriodo.rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(dm().ConsultaChequesData.value(r, "IDCHEQUE"), dm().ConsultaChequesPeriodo.value(r, "IDCHEQUE"));
    EXPECT_LT(dm().ConsultaChequesData.value(0, "IDCHEQUE").toInt(), dm().ConsultaChequesData.value(1, "IDCHEQUE").toInt());

    // Both ends of a period are included.
    dm().ConsultaChequesPeriodo.setParam("DataEmissaoInicial", day.addDays(-1));
    dm().ConsultaChequesPeriodo.setParam("DataEmissaoFinal", day.addDays(1));
    dm().ConsultaChequesPeriodo.reopen();
    EXPECT_EQ(dm().ConsultaChequesPeriodo.rowCount(), 5);

    dm().ConsultaPredatadoPeriodo.setParam(0, day);
    dm().ConsultaPredatadoPeriodo.setParam(1, day.addDays(30));
    insertSeries(bank, day.addDays(30));
    insertSeries(bank, day.addDays(31));
    dm().ConsultaPredatadoPeriodo.reopen();
    EXPECT_EQ(dm().ConsultaPredatadoPeriodo.rowCount(), 1);
}

TEST_F(QueryTest, GridsShowTheLabelsAndHideTheKeys)
{
    const int bank = insertBank(QStringLiteral("001"));
    insertCheque(bank, day);
    insertSeries(bank, day);
    DbQuery& data = dm().ConsultaChequesData;
    DbQuery& period = dm().ConsultaChequesPeriodo;
    openOn(data, day);
    openOn(period, day);
    EXPECT_EQ(header(data, "NUMCHEQUE"), QStringLiteral("Nº do Cheque"));
    EXPECT_EQ(header(data, "DATAEMISSAO"), QStringLiteral("Dt. de Emissão"));
    EXPECT_EQ(header(data, "JAIMPRESSO"), QStringLiteral("Já Impresso"));
    EXPECT_EQ(header(period, "JAIMPRESSO"), QStringLiteral("JAIMPRESSO"));
    EXPECT_EQ(header(data, "TERCEIRO1"), QStringLiteral("TERCEIRO1"));
    EXPECT_EQ(header(period, "TERCEIRO1"), QStringLiteral("De tercerios"));
    EXPECT_EQ(header(period, "NOMECOMPENSACAO"), QStringLiteral("Tipo de Compensação"));
    EXPECT_EQ(data.headerData(data.columnOf("NUMBANCO"), Qt::Horizontal, Qt::UserRole).toString(), QStringLiteral("NUMBANCO"));
    // The bank look-up shows the name before the number.
    DbQuery& lookup = dm().ListaBancos2;
    EXPECT_EQ((QStringList{lookup.fieldOfColumn(0), lookup.fieldOfColumn(1), lookup.fieldOfColumn(2)}),
              (QStringList{"IDBANCO", "BANCO", "NUMBANCO"}));

    DbQuery& sData = dm().ConsultaPredatadoData;
    DbQuery& sPeriod = dm().ConsultaPredatadoPeriodo;
    openOn(sData, day);
    openOn(sPeriod, day);
    for (const char* hidden : {"IDPREDATADO", "IDBANCO", "IDCENTROCUSTO", "JAIMPRESSO", "IMPORTADO", "TERCEIRO", "IDCOMPENSACAO"}) {
        EXPECT_EQ(header(sData, hidden), QStringLiteral("<hidden>")) << hidden;
        EXPECT_EQ(header(sPeriod, hidden), QStringLiteral("<hidden>")) << hidden;
    }
    EXPECT_EQ(header(sData, "VALORPERIODOIMPRESSAO"), QStringLiteral("VALORPERIODOIMPRESSAO"));
    EXPECT_EQ(header(sPeriod, "VALORPERIODOIMPRESSAO"), QStringLiteral("<hidden>"));
    EXPECT_EQ(header(sPeriod, "PERIODOIMPRESSAO"), QStringLiteral("<hidden>"));
    EXPECT_EQ(header(sData, "NUMAGENCIA"), QStringLiteral("Agencia"));
    EXPECT_EQ(header(sPeriod, "NUMAGENCIA"), QStringLiteral("Agência"));
    EXPECT_EQ(header(sData, "NUMINICIALCHEQUE"), QStringLiteral("Nº Inical do Cheque"));
    EXPECT_EQ(header(sPeriod, "NUMINICIALCHEQUE"), QStringLiteral("Nº do Cheque Inicial"));
    EXPECT_EQ(header(sData, "NOMECOMPENSACAO"), QStringLiteral("Tipo de Compensação"));
    EXPECT_EQ(header(sPeriod, "NOMECOMPENSACAO"), QStringLiteral("Tipo da Compensação"));
    EXPECT_EQ(header(sData, "TERCEIRO1"), QStringLiteral("De terceiros"));
    EXPECT_EQ(header(sData, "PERIODO_PARCELAS"), QStringLiteral("Período de Impressão"));
    EXPECT_EQ(sData.columnCount(), 28 - 7);
    EXPECT_EQ(sPeriod.columnCount(), 28 - 9);
    // Hidden fields are still there to read.
    EXPECT_EQ(sPeriod.value(0, "IDBANCO").toInt(), bank);

    // A grid shows dates the Brazilian way and the zero date as nothing.
    EXPECT_EQ(data.data(data.index(0, data.columnOf("DATAEMISSAO"))).toString(), QStringLiteral("05/11/2025"));
    EXPECT_EQ(data.data(data.index(0, data.columnOf("DATAIMPRESSAO"))).toString(), QString());
    EXPECT_EQ(data.data(data.index(0, data.columnOf("STATUS1"))).toString(), QStringLiteral("Válido"));
}

class BankFilterTest : public DataModuleTest {
protected:
    void SetUp() override
    {
        DataModuleTest::SetUp();
        for (const char* number : {"023", "237", "341", "001", "104"})
            insertBank(QString::fromLatin1(number), QStringLiteral("Banco ") + QString::fromLatin1(number));
    }

    static QStringList passing(const QString& filter)
    {
        dm().FiltroBanco = filter;
        dm().ListaBancos2.reopen();
        QStringList out;
        for (int r = 0; r < dm().ListaBancos2.rowCount(); ++r)
            out << dm().ListaBancos2.value(r, "NUMBANCO").toString();
        out.sort();
        return out;
    }
};

TEST_F(BankFilterTest, NumberPassesWhenTheFilterOccursAnywhereInIt)
{
    EXPECT_EQ(passing(QString()), (QStringList{"001", "023", "104", "237", "341"}));
    EXPECT_EQ(passing(QStringLiteral("23")), (QStringList{"023", "237"}));
    EXPECT_EQ(passing(QStringLiteral("1")), (QStringList{"001", "104", "341"}));
    EXPECT_EQ(passing(QStringLiteral("001")), QStringList{"001"});
    EXPECT_EQ(passing(QStringLiteral("9")), QStringList{});
    EXPECT_TRUE(dm().ListaBancos2.isEmpty());
    // The first passing row is what the entry screens show.
    passing(QStringLiteral("341"));
    EXPECT_EQ(dm().ListaBancos2.value(0, "BANCO").toString(), QStringLiteral("Banco 341"));
    passing(QString());
}

TEST_F(BankFilterTest, BankNumberCheckFindsOnlyTheExactNumber)
{
    dm().spConsultaBanco.setParam(0, QStringLiteral("237"));
    dm().spConsultaBanco.reopen();
    EXPECT_EQ(dm().spConsultaBanco.rowCount(), 1);
    dm().spConsultaBanco.setParam("NUMBANCOADD", QStringLiteral("23"));
    dm().spConsultaBanco.reopen();
    EXPECT_TRUE(dm().spConsultaBanco.isEmpty());
}

class ChunkTest : public DataModuleTest {};

TEST_F(ChunkTest, LargeResultIsFetchedAThousandRowsAtATime)
{
    const int bank = insertBank(QStringLiteral("001"));
    dm().spInsereCheque.clearParams();
    for (const auto& [name, value] : chequeInputs(bank, day))
        dm().spInsereCheque.setParam(name, value);
    for (int i = 0; i < 2500; ++i)
        dm().spInsereCheque.execute();
    dm().ibTransacao.commitRetaining();

    DbQuery& q = dm().ConsultaChequesData;
    QAbstractItemModelTester tester(&q, QAbstractItemModelTester::FailureReportingMode::Fatal);
    q.setParam(0, day);
    q.open();
    EXPECT_EQ(q.rowCount(), 1000);
    EXPECT_TRUE(q.canFetchMore());
    // The cursor outlives a commit and a rollback, both retaining.
    write(dm().spInsereFavorecido, {{"NOMEFAVORECIDO", QStringLiteral("Entre dois blocos")}});
    EXPECT_FALSE(dm().gravar(dm().spApagaCompensacao, {{"IDCOMPENSACAO", 1}}, {}).ok);
    q.fetchMore();
    EXPECT_EQ(q.rowCount(), 2000);
    EXPECT_EQ(q.locate("IDCHEQUE", q.value(0, "IDCHEQUE").toInt() + 2400), 2400);
    EXPECT_EQ(q.rowCount(), 2500);
    EXPECT_FALSE(q.canFetchMore());
    q.close();
    EXPECT_EQ(q.rowCount(), 0);
    q.open();
    q.fetchAll();
    EXPECT_EQ(q.rowCount(), 2500);
}

// A search fetches what a grid's first screen shows; the grid, or a report,
// asks for the rest a chunk at a time, and a reopening (a refresh after a
// write) announces one reset and fetches a screen again.
TEST_F(ChunkTest, SearchFetchesAScreenAndTheRestOnDemand)
{
    const int bank = insertBank(QStringLiteral("001"));
    dm().spInsereCheque.clearParams();
    for (const auto& [name, value] : chequeInputs(bank, day))
        dm().spInsereCheque.setParam(name, value);
    for (int i = 0; i < 1200; ++i)
        dm().spInsereCheque.execute();
    dm().ibTransacao.commitRetaining();

    DbQuery& q = dm().ConsultaChequesPeriodo;
    QAbstractItemModelTester tester(&q, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(&dm().consultaChequesPorPeriodo(day, day), &q);
    EXPECT_EQ(q.rowCount(), TdmNorvelCheque::PrimeiraTela);
    EXPECT_TRUE(q.canFetchMore());
    q.fetchMore();
    EXPECT_EQ(q.rowCount(), TdmNorvelCheque::PrimeiraTela + DbQuery::ChunkSize);

    QSignalSpy resets(&q, &QAbstractItemModel::modelReset);
    q.reopen();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(q.rowCount(), TdmNorvelCheque::PrimeiraTela);
    q.fetchAll();
    EXPECT_EQ(q.rowCount(), 1200);
    EXPECT_FALSE(q.canFetchMore());
    // The rows arrive in their order, block after block.
    for (int r = 1; r < q.rowCount(); ++r)
        ASSERT_EQ(q.value(r, "IDCHEQUE").toInt(), q.value(r - 1, "IDCHEQUE").toInt() + 1);
}

TEST(DataModuleCreateTest, MissingFileRaisesOnceAndLeavesTheListsClosed)
{
    QTemporaryDir empty;
    TdmNorvelCheque::setDatabaseDirectoryForTests(empty.path());
    TdmNorvelCheque dm;
    EXPECT_EQ(dmNorvelCheque, &dm);
    try {
        dm.DataModuleCreate();
        FAIL() << "opened a missing file";
    } catch (const norvel::db::DbError& e) {
        // The engine's own error on the file, not a failed retry through a server.
        EXPECT_TRUE(e.message().contains(empty.path() + QStringLiteral("/base.fdb"))) << e.what();
    }
    EXPECT_EQ(dm.ibBaseDados.databaseName, empty.path() + QStringLiteral("/base.fdb"));
    EXPECT_FALSE(dm.ibBaseDados.connected());
    EXPECT_FALSE(dm.ListaBancos.isActive());
    EXPECT_FALSE(dm.ListaFavorecidos.isActive());
    // Later actions fail with their own message instead of crashing.
    EXPECT_THROW(dm.ListaBancos.open(), norvel::db::DbError);
    EXPECT_FALSE(dm.gravar(dm.spInsereFavorecido, {{"NOMEFAVORECIDO", QStringLiteral("X")}}, QStringLiteral("Erro: ")).ok);
    TdmNorvelCheque::setDatabaseDirectoryForTests({});
}
