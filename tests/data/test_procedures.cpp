// Every stored procedure through the write pattern, on a fresh database.
#include "DataModuleFixture.h"

using norvel::db::DbError;
using norvel::db::DbQuery;

namespace {

const QDate day(2026, 3, 14);

// An ad hoc look at the stored bytes, past the program's own queries.
QVariant scalar(const QString& sql, const QVariant& param)
{
    DbQuery q(QStringLiteral("probe"), dmNorvelCheque->ibBaseDados, dmNorvelCheque->ibTransacao, {sql});
    q.setParam(0, param);
    q.open();
    return q.value(0, q.fieldNames().first());
}

} // namespace

class ProcedureTest : public DataModuleTest {};

TEST_F(ProcedureTest, InputsAreDeclaredInTheOrderCallersPassThem)
{
    const QStringList cheque = {"NUMAGENCIA", "IDBANCO", "IDCENTROCUSTO", "NUMCHEQUE", "CONTACORRENTE",
                                "DATAEMISSAO", "DATAIMPRESSAO", "FAVORECIDO", "LOCALIDADE", "VALOR",
                                "JAIMPRESSO", "IMPORTADO", "TERCEIRO", "IDCOMPENSACAO", "DESCRICAO", "STATUS"};
    const QStringList series = {"NUMAGENCIA", "IDBANCO", "IDCENTROCUSTO", "NUMINICIALCHEQUE", "CONTACORRENTE",
                                "DATAINICIALEMISSAO", "DATAIMPRESSAO", "FAVORECIDO", "LOCALIDADE", "VALOR",
                                "JAIMPRESSO", "IMPORTADO", "TERCEIRO", "IDCOMPENSACAO", "NUMPARCELAS",
                                "VALORPERIODOIMPRESSAO", "PERIODOIMPRESSAO", "DESCRICAO", "STATUS"};
    const struct {
        norvel::db::DbStoredProc& sp;
        QStringList inputs;
        QStringList outputs;
    } expected[] = {
        {dm().spInsereBanco, {"SIGLABANCO", "NOMEBANCO", "NUMBANCO", "POSICOESBANCO"}, {"IDBANCO"}},
        {dm().spSalvarBanco, {"IDBANCO", "NOMEBANCO", "NUMBANCO", "SIGLABANCO", "POSICOESBANCO"}, {}},
        {dm().spApagaBanco, {"IDBANCO"}, {}},
        {dm().spInsereCentroCusto, {"NOMECENTROCUSTO"}, {"IDCENTROCUSTO"}},
        {dm().spApagaCentroCusto, {"IDCENTROCUSTO"}, {}},
        {dm().spInsereCompensacao, {"NOMECOMPENSACAO"}, {"IDCOMPENSACAO"}},
        {dm().spApagaCompensacao, {"IDCOMPENSACAO"}, {}},
        {dm().spInsereFavorecido, {"NOMEFAVORECIDO"}, {"IDFAVORECIDO"}},
        {dm().spApagaFavorecido, {"IDFAVORECIDO"}, {}},
        {dm().spInsereCheque, cheque, {"IDCHEQUE"}},
        {dm().spImprimeCheque, {"DATAIMPRESSAO", "IDCHEQUE"}, {}},
        {dm().spCancelarCheque, {"IDCHEQUE"}, {}},
        {dm().spInserePredatado, series, {"IDPREDATADO"}},
        {dm().spImprimePredatado, {"IDPREDATADO", "DATAIMPRESSAO"}, {}},
        {dm().spCancelarPredatado, {"IDPREDATADO"}, {}},
        {dm().spSalvaCheque, QStringList{"IDCHEQUE"} + cheque, {}},
        {dm().spSalvaPredatado, QStringList{"IDPREDATADO"} + series, {}},
        {dm().spApagaCheque, {"IDCHEQUE"}, {}},
        {dm().spApagaPredatado, {"IDPREDATADO"}, {}},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.sp.inputNames(), e.inputs) << e.sp.name().toStdString();
        EXPECT_EQ(e.sp.outputNames(), e.outputs) << e.sp.name().toStdString();
    }
}

TEST_F(ProcedureTest, RegistriesReturnNewKeysAfterTheSeedRows)
{
    for (DbQuery* list : {&dm().ListaCentroCustos, &dm().ListaCompensacao, &dm().ListaFavorecidos}) {
        ASSERT_EQ(list->rowCount(), 1) << list->name().toStdString();
        EXPECT_EQ(list->value(0, list->fieldNames().first()).toInt(), 1);
    }
    write(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QStringLiteral("Administração")}}, {&dm().ListaCentroCustos});
    EXPECT_EQ(dm().spInsereCentroCusto.output("IDCENTROCUSTO").toInt(), 2);
    write(dm().spInsereCompensacao, {{"NOMECOMPENSACAO", QStringLiteral("Compensação local")}}, {&dm().ListaCompensacao});
    EXPECT_EQ(dm().spInsereCompensacao.output("IDCOMPENSACAO").toInt(), 2);
    write(dm().spInsereFavorecido, {{"NOMEFAVORECIDO", QStringLiteral("Ângela")}}, {&dm().ListaFavorecidos});
    EXPECT_EQ(dm().spInsereFavorecido.output("IDFAVORECIDO").toInt(), 2);

    EXPECT_EQ(dm().ListaCentroCustos.value(1, "NOMECENTROCUSTO").toString(), QStringLiteral("Administração"));
    EXPECT_EQ(dm().ListaCompensacao.value(1, "NOMECOMPENSACAO").toString(), QStringLiteral("Compensação local"));
    EXPECT_EQ(dm().ListaFavorecidos.rowCount(), 2);

    write(dm().spApagaFavorecido, {{"IDFAVORECIDO", 2}}, {&dm().ListaFavorecidos});
    EXPECT_EQ(dm().ListaFavorecidos.rowCount(), 1);
}

TEST_F(ProcedureTest, BankIsInsertedRewrittenAndDeleted)
{
    const int id = insertBank(QStringLiteral("237"), QStringLiteral("Bradesco"));
    int row = dm().ListaBancos.locate("IDBANCO", id);
    ASSERT_GE(row, 0);
    EXPECT_EQ(dm().ListaBancos.value(row, "POSICOESBANCO").toString(), QStringLiteral("010203040506070809101112131415161718"));

    write(dm().spSalvarBanco, {{"IDBANCO", id}, {"NOMEBANCO", QStringLiteral("Banco Bradesco")}, {"NUMBANCO", QStringLiteral("238")},
                               {"SIGLABANCO", QStringLiteral("BBD")}, {"POSICOESBANCO", QStringLiteral("999999999999999999999999999999999999")}},
          {&dm().ListaBancos, &dm().ListaBancos2});
    row = dm().ListaBancos.locate("IDBANCO", id);
    EXPECT_EQ(dm().ListaBancos.value(row, "NUMBANCO").toString(), QStringLiteral("238"));
    EXPECT_EQ(dm().ListaBancos.value(row, "NOMEBANCO").toString(), QStringLiteral("Banco Bradesco"));
    EXPECT_EQ(dm().ListaBancos.value(row, "SIGLABANCO").toString(), QStringLiteral("BBD"));

    // The bank number is unique in the database too.
    const WriteResult dup = dm().gravar(dm().spInsereBanco, {{"SIGLABANCO", QStringLiteral("X")}, {"NOMEBANCO", QStringLiteral("X")},
                                                             {"NUMBANCO", QStringLiteral("238")}, {"POSICOESBANCO", QString()}},
                                        QStringLiteral("Erro ao tentar salvar dados: "));
    EXPECT_FALSE(dup.ok);
    EXPECT_TRUE(dup.message.startsWith(QStringLiteral("Erro ao tentar salvar dados: "))) << dup.message.toStdString();

    write(dm().spApagaBanco, {{"IDBANCO", id}}, {&dm().ListaBancos, &dm().ListaBancos2});
    EXPECT_EQ(dm().ListaBancos.locate("IDBANCO", id), -1);
}

TEST_F(ProcedureTest, ChequeWithoutChoicesReadsAsNotPrintedAgainstSeedRows)
{
    const int bank = insertBank(QStringLiteral("001"), QStringLiteral("Banco do Brasil"));
    const int first = insertCheque(bank, day);
    const int second = insertCheque(bank, day);
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 1);

    const int row = dm().ListaCheques.locate("IDCHEQUE", first);
    ASSERT_GE(row, 0);
    EXPECT_EQ(dm().ListaCheques.value(row, "IDCENTROCUSTO").toInt(), 1);
    EXPECT_EQ(dm().ListaCheques.value(row, "IDCOMPENSACAO").toInt(), 1);
    EXPECT_EQ(dm().ListaCheques.value(row, "JAIMPRESSO").toInt(), 0);
    EXPECT_EQ(dm().ListaCheques.value(row, "DATAIMPRESSAO1").toString(), QStringLiteral("Não Impresso"));
    EXPECT_EQ(dm().ListaCheques.value(row, "NOMECENTROCUSTO").toString(), QStringLiteral("Nenhum"));

    dm().ConsultaChequesData.setParam(0, day);
    const int c = rowOf(dm().ConsultaChequesData, "IDCHEQUE", first);
    ASSERT_GE(c, 0);
    EXPECT_EQ(dm().ConsultaChequesData.value(c, "JAIMPRESSO1").toString(), QStringLiteral("Não"));
    EXPECT_EQ(dm().ConsultaChequesData.value(c, "TERCEIRO1").toString(), QStringLiteral("Não"));
    EXPECT_EQ(dm().ConsultaChequesData.value(c, "STATUS1").toString(), QStringLiteral("Válido"));
    EXPECT_EQ(dm().ConsultaChequesData.value(c, "STATUS").toInt(), 0);
}

TEST_F(ProcedureTest, FlagsAndChosenEntriesAreStoredAsGiven)
{
    const int bank = insertBank(QStringLiteral("341"));
    write(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QStringLiteral("Obras")}});
    const int centre = dm().spInsereCentroCusto.output("IDCENTROCUSTO").toInt();
    const QDate printed(2026, 2, 1);
    const int id = insertCheque(bank, day, {{"JAIMPRESSO", -1}, {"TERCEIRO", -1}, {"DATAIMPRESSAO", printed},
                                            {"IDCENTROCUSTO", centre}, {"IDCOMPENSACAO", 1}, {"NUMCHEQUE", QString("")}});
    dm().ConsultaChequesPeriodo.setParam(0, day);
    dm().ConsultaChequesPeriodo.setParam(1, day);
    const int row = rowOf(dm().ConsultaChequesPeriodo, "IDCHEQUE", id);
    ASSERT_GE(row, 0);
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "JAIMPRESSO").toInt(), -1);
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "TERCEIRO").toInt(), -1);
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "JAIMPRESSO1").toString(), QStringLiteral("Sim"));
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "TERCEIRO1").toString(), QStringLiteral("Sim"));
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "DATAIMPRESSAO").toDate(), printed);
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "NOMECENTROCUSTO").toString(), QStringLiteral("Obras"));
    EXPECT_EQ(dm().ConsultaChequesPeriodo.value(row, "NUMCHEQUE").toString(), QString(""));
}

TEST_F(ProcedureTest, PrintMarkingOverwritesTheDateEachTime)
{
    const int bank = insertBank(QStringLiteral("104"));
    const int id = insertCheque(bank, day);
    for (const QDate& date : {QDate(2026, 3, 15), QDate(2026, 4, 2)}) {
        write(dm().spImprimeCheque, {{"DATAIMPRESSAO", QDateTime(date, QTime(17, 45))}, {"IDCHEQUE", id}}, {&dm().ListaCheques});
        dm().ConsultaChequesData.setParam("DataEmissao", day);
        const int row = rowOf(dm().ConsultaChequesData, "IDCHEQUE", id);
        ASSERT_GE(row, 0);
        EXPECT_EQ(dm().ConsultaChequesData.value(row, "DATAIMPRESSAO").toDate(), date);
        EXPECT_EQ(dm().ConsultaChequesData.value(row, "JAIMPRESSO").toInt(), -1);
        EXPECT_EQ(dm().ConsultaChequesData.value(row, "JAIMPRESSO1").toString(), QStringLiteral("Sim"));
        const int listed = dm().ListaCheques.locate("IDCHEQUE", id);
        EXPECT_EQ(dm().ListaCheques.value(listed, "DATAIMPRESSAO1").toString(), date.toString(Qt::ISODate));
    }
}

TEST_F(ProcedureTest, CancellingTwiceLeavesTheChequeCancelled)
{
    const int bank = insertBank(QStringLiteral("033"));
    const int id = insertCheque(bank, day);
    for (int i = 0; i < 2; ++i) {
        write(dm().spCancelarCheque, {{"IDCHEQUE", id}});
        dm().ConsultaChequesData.setParam(0, day);
        const int row = rowOf(dm().ConsultaChequesData, "IDCHEQUE", id);
        EXPECT_EQ(dm().ConsultaChequesData.value(row, "STATUS").toInt(), 1);
        EXPECT_EQ(dm().ConsultaChequesData.value(row, "STATUS1").toString(), QStringLiteral("Cancelado"));
    }
}

TEST_F(ProcedureTest, SeriesIsInsertedMarkedPrintedAndCancelled)
{
    const int bank = insertBank(QStringLiteral("756"));
    const int id = insertSeries(bank, day);
    const int daily = insertSeries(bank, day, {{"VALORPERIODOIMPRESSAO", 1}, {"PERIODOIMPRESSAO", QStringLiteral("Dia(s)")},
                                               {"NUMINICIALCHEQUE", QStringLiteral("")}});
    EXPECT_EQ(daily, id + 1);

    DbQuery& q = dm().ConsultaPredatadoData;
    q.setParam(0, day);
    int row = rowOf(q, "IDPREDATADO", id);
    ASSERT_GE(row, 0);
    EXPECT_EQ(q.value(row, "NUMINICIALCHEQUE").toInt(), 500);
    EXPECT_EQ(q.value(row, "PERIODO_PARCELAS").toString(), QStringLiteral("2 Mês(es)"));
    EXPECT_EQ(q.value(row, "JAIMPRESSO1").toString(), QStringLiteral("Não"));
    EXPECT_EQ(q.value(row, "STATUS1").toString(), QStringLiteral("Válido"));
    EXPECT_EQ(q.value(row, "IDCENTROCUSTO").toInt(), 1);
    EXPECT_EQ(q.value(row, "IDCOMPENSACAO").toInt(), 1);
    const int dailyRow = q.locate("IDPREDATADO", daily);
    EXPECT_EQ(q.value(dailyRow, "PERIODO_PARCELAS").toString(), QStringLiteral("1 Dia(s)"));
    EXPECT_FALSE(q.value(dailyRow, "NUMINICIALCHEQUE").isValid()) << "empty first number is stored empty";

    dm().listaPreDatados.reopen();
    const int listed = dm().listaPreDatados.locate("IDPREDATADO", id);
    EXPECT_EQ(dm().listaPreDatados.value(listed, "DATAIMPRESSAO1").toString(), QStringLiteral("Não Impresso"));

    const QDate printed(2026, 3, 20);
    write(dm().spImprimePredatado, {{"IDPREDATADO", id}, {"DATAIMPRESSAO", printed}});
    write(dm().spCancelarPredatado, {{"IDPREDATADO", id}});
    write(dm().spCancelarPredatado, {{"IDPREDATADO", id}});
    row = rowOf(q, "IDPREDATADO", id);
    EXPECT_EQ(q.value(row, "DATAIMPRESSAO").toDate(), printed);
    EXPECT_EQ(q.value(row, "JAIMPRESSO1").toString(), QStringLiteral("Sim"));
    EXPECT_EQ(q.value(row, "STATUS1").toString(), QStringLiteral("Cancelado"));
}

TEST_F(ProcedureTest, ProceduresNoScreenCallsRewriteAndDelete)
{
    const int bank = insertBank(QStringLiteral("399"));
    const int cheque = insertCheque(bank, day);
    write(dm().spSalvaCheque, ProcInputs{{"IDCHEQUE", cheque}} + chequeInputs(bank, day, {{"VALOR", QStringLiteral("9,99")}}));
    dm().ConsultaChequesData.setParam(0, day);
    EXPECT_EQ(dm().ConsultaChequesData.value(rowOf(dm().ConsultaChequesData, "IDCHEQUE", cheque), "VALOR").toString(),
              QStringLiteral("9,99"));
    write(dm().spApagaCheque, {{"IDCHEQUE", cheque}});
    EXPECT_EQ(rowOf(dm().ConsultaChequesData, "IDCHEQUE", cheque), -1);

    const int series = insertSeries(bank, day);
    write(dm().spSalvaPredatado, ProcInputs{{"IDPREDATADO", series}} + seriesInputs(bank, day, {{"NUMPARCELAS", 12}}));
    dm().ConsultaPredatadoData.setParam(0, day);
    EXPECT_EQ(dm().ConsultaPredatadoData.value(rowOf(dm().ConsultaPredatadoData, "IDPREDATADO", series), "NUMPARCELAS").toInt(), 12);
    write(dm().spApagaPredatado, {{"IDPREDATADO", series}});
    EXPECT_EQ(rowOf(dm().ConsultaPredatadoData, "IDPREDATADO", series), -1);
}

TEST_F(ProcedureTest, DeletingAnEntryInUseFailsWithForeignKeyCode)
{
    const int bank = insertBank(QStringLiteral("748"));
    write(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QStringLiteral("Usado")}});
    const int centre = dm().spInsereCentroCusto.output("IDCENTROCUSTO").toInt();
    write(dm().spInsereCompensacao, {{"NOMECOMPENSACAO", QStringLiteral("Usada")}});
    const int clearing = dm().spInsereCompensacao.output("IDCOMPENSACAO").toInt();
    insertCheque(bank, day, {{"IDCENTROCUSTO", centre}, {"IDCOMPENSACAO", clearing}});

    const WriteResult c = dm().gravar(dm().spApagaCentroCusto, {{"IDCENTROCUSTO", centre}},
                                      QStringLiteral("Erro ao excluir: "), {&dm().ListaCentroCustos});
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.sqlCode, DbError::ForeignKeyViolation);
    EXPECT_TRUE(c.message.startsWith(QStringLiteral("Erro ao excluir: "))) << c.message.toStdString();
    EXPECT_TRUE(c.message.contains(QStringLiteral("FOREIGN KEY"))) << c.message.toStdString();

    const WriteResult k = dm().gravar(dm().spApagaCompensacao, {{"IDCOMPENSACAO", clearing}},
                                      QStringLiteral("Erro ao excluir: "), {&dm().ListaCompensacao});
    EXPECT_EQ(k.sqlCode, -530);

    // A series holds its references the same way.
    write(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QStringLiteral("Da série")}});
    const int seriesCentre = dm().spInsereCentroCusto.output("IDCENTROCUSTO").toInt();
    insertSeries(bank, day, {{"IDCENTROCUSTO", seriesCentre}});
    EXPECT_EQ(dm().gravar(dm().spApagaCentroCusto, {{"IDCENTROCUSTO", seriesCentre}}, {}).sqlCode, -530);

    // Payees are copied as text: deleting one in use is fine.
    write(dm().spInsereFavorecido, {{"NOMEFAVORECIDO", QStringLiteral("José da Silva")}});
    write(dm().spApagaFavorecido, {{"IDFAVORECIDO", dm().spInsereFavorecido.output("IDFAVORECIDO")}});
}

TEST_F(ProcedureTest, FailedCallRollsBackAndTheNextCallSucceedsInTheSameTransaction)
{
    const int bank = insertBank(QStringLiteral("422"));
    write(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QStringLiteral("Preso")}});
    const int centre = dm().spInsereCentroCusto.output("IDCENTROCUSTO").toInt();
    insertCheque(bank, day, {{"IDCENTROCUSTO", centre}});
    dm().ListaCentroCustos.reopen();
    const int centresBefore = dm().ListaCentroCustos.rowCount();

    EXPECT_FALSE(dm().gravar(dm().spApagaCentroCusto, {{"IDCENTROCUSTO", centre}}, {}, {&dm().ListaCentroCustos}).ok);
    EXPECT_TRUE(dm().ibTransacao.inTransaction());
    EXPECT_TRUE(dm().ListaCentroCustos.isActive());
    EXPECT_EQ(dm().ListaCentroCustos.rowCount(), centresBefore);

    write(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QStringLiteral("Depois")}}, {&dm().ListaCentroCustos});
    EXPECT_EQ(dm().ListaCentroCustos.rowCount(), centresBefore + 1);
}

TEST_F(ProcedureTest, ListsStayOpenAfterCommit)
{
    const int bank = insertBank(QStringLiteral("070"));
    for (DbQuery* list : {&dm().ListaBancos, &dm().ListaBancos2, &dm().ListaCentroCustos, &dm().ListaCompensacao,
                          &dm().ListaCheques, &dm().ListaFavorecidos})
        EXPECT_TRUE(list->isActive()) << list->name().toStdString();
    // A list that was not reopened keeps its rows and its cursor.
    const int banks = dm().ListaBancos.rowCount();
    insertCheque(bank, day);
    EXPECT_TRUE(dm().ListaBancos.isActive());
    EXPECT_EQ(dm().ListaBancos.rowCount(), banks);
    EXPECT_EQ(dm().ListaBancos.value(banks - 1, "IDBANCO").isValid(), true);
}

TEST_F(ProcedureTest, AccentedTextIsStoredAsLatin1Bytes)
{
    const int bank = insertBank(QStringLiteral("085"), QStringLiteral("Cooperativa São João"));
    const int id = insertCheque(bank, day, {{"LOCALIDADE", QStringLiteral("São João")}, {"FAVORECIDO", QStringLiteral("Ação Ótima Ltda")}});
    // Latin-1 holds "São João" in 8 bytes; UTF-8 would need 10.
    EXPECT_EQ(scalar("select octet_length(LOCALIDADE) from CHEQUES where IDCHEQUE = :ID", id).toInt(), 8);
    EXPECT_EQ(scalar("select LOCALIDADE from CHEQUES where IDCHEQUE = :ID", id).toString(), QStringLiteral("São João"));
    EXPECT_EQ(scalar("select ascii_val(substring(LOCALIDADE from 2 for 1)) from CHEQUES where IDCHEQUE = :ID", id).toInt(), 0xE3);

    const int series = insertSeries(bank, day);
    EXPECT_EQ(scalar("select octet_length(PERIODOIMPRESSAO) from CHEQUEPREDATADO where IDPREDATADO = :ID", series).toInt(), 7);

    dm().ConsultaChequesData.setParam(0, day);
    const int row = rowOf(dm().ConsultaChequesData, "IDCHEQUE", id);
    EXPECT_EQ(dm().ConsultaChequesData.value(row, "FAVORECIDO").toString(), QStringLiteral("Ação Ótima Ltda"));
    EXPECT_EQ(dm().ConsultaChequesData.value(row, "NOMEBANCO").toString(), QStringLiteral("Cooperativa São João"));
    EXPECT_EQ(dm().ConsultaChequesData.value(row, "STATUS1").toString(), QStringLiteral("Válido"));
}

TEST_F(ProcedureTest, TextLatin1CannotHoldIsRefusedAndNothingIsStored)
{
    const int bank = insertBank(QStringLiteral("212"));
    dm().ListaCheques.reopen();
    dm().ListaCheques.fetchAll();
    const int before = dm().ListaCheques.rowCount();
    const WriteResult r = dm().gravar(dm().spInsereCheque, chequeInputs(bank, day, {{"DESCRICAO", QStringLiteral("Custa 10 €")}}),
                                      QStringLiteral("Erro ao tentar salvar dados: "), {&dm().ListaCheques});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("Erro ao tentar salvar dados: ")));
    EXPECT_TRUE(r.message.contains(QStringLiteral("€"))) << r.message.toStdString();
    dm().ListaCheques.reopen();
    dm().ListaCheques.fetchAll();
    EXPECT_EQ(dm().ListaCheques.rowCount(), before);
}

TEST_F(ProcedureTest, TextLongerThanItsColumnIsRejectedByTheDatabase)
{
    const WriteResult r = dm().gravar(dm().spInsereCentroCusto, {{"NOMECENTROCUSTO", QString(31, QLatin1Char('x'))}},
                                      QStringLiteral("Erro ao tentar salvar dados: "), {&dm().ListaCentroCustos});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.sqlCode, 0);
    EXPECT_TRUE(r.message.contains(QStringLiteral("truncation"))) << r.message.toStdString();
}

TEST_F(ProcedureTest, InputNotGivenIsReportedBeforeTheCall)
{
    dm().spCancelarPredatado.clearParams();
    try {
        dm().spCancelarPredatado.execute();
        FAIL() << "executed without its input";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("IDPREDATADO"))) << e.what();
    }
    EXPECT_FALSE(dm().gravar(dm().spCancelarPredatado, {{"IDPREDATADOS", 1}}, {}).ok);

    // A write that leaves an input out never reuses the value of the call before.
    const int bank = insertBank(QStringLiteral("151"));
    insertCheque(bank, day);
    ProcInputs partial = chequeInputs(bank, day);
    partial.removeLast();
    const WriteResult r = dm().gravar(dm().spInsereCheque, partial, QStringLiteral("Erro: "));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("STATUS"))) << r.message.toStdString();
}
