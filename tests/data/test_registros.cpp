// The typed calls of the data module and the records read back from the
// consultation queries, on a fresh database.
#include "DataModuleFixture.h"

namespace {

const QDate emissao(2026, 5, 8);

RegistroCheque chequeSemEscolhas(int idBanco)
{
    RegistroCheque c;
    c.idBanco = idBanco;
    c.agencia = QStringLiteral("0123");
    c.conta = QStringLiteral("45678-9");
    c.numCheque = QStringLiteral("000777");
    c.cidade = QStringLiteral("São Paulo");
    c.valor = Money::fromCentavos(123456);
    c.dataEmissao = emissao;
    c.terceiro = true;
    c.descricao = QStringLiteral("Aluguel de março");
    return c;
}

} // namespace

class RegistroTest : public DataModuleTest {
protected:
    RegistroCheque leCheque(int id)
    {
        auto& consulta = dm().ConsultaChequesData;
        consulta.setParam(0, emissao);
        const int linha = rowOf(consulta, "IDCHEQUE", id);
        EXPECT_GE(linha, 0);
        return TdmNorvelCheque::chequeDaLinha(consulta, linha);
    }
};

TEST_F(RegistroTest, ChequeRoundTripWithoutChoicesReadsAsNotPrinted)
{
    const int banco = insertBank(QStringLiteral("237"), QStringLiteral("Bradesco"));
    const WriteResult r = dm().insereCheque(chequeSemEscolhas(banco), QStringLiteral("Erro: "));
    ASSERT_TRUE(r) << r.message.toStdString();
    ASSERT_GT(r.chave, 0);
    // ListaCheques shows the new row without a reopen of the caller's.
    EXPECT_GE(dm().ListaCheques.locate("IDCHEQUE", r.chave), 0);

    const RegistroCheque c = leCheque(r.chave);
    EXPECT_EQ(c.idCheque, r.chave);
    EXPECT_EQ(c.idBanco, banco);
    EXPECT_EQ(c.numBanco, QStringLiteral("237"));
    EXPECT_EQ(c.nomeBanco, QStringLiteral("Bradesco"));
    EXPECT_EQ(c.agencia, QStringLiteral("0123"));
    EXPECT_EQ(c.conta, QStringLiteral("45678-9"));
    EXPECT_EQ(c.numCheque, QStringLiteral("000777"));
    EXPECT_EQ(c.favorecido, QString());
    EXPECT_EQ(c.cidade, QStringLiteral("São Paulo"));
    EXPECT_EQ(c.valor.toText(), QStringLiteral("1234,56"));
    EXPECT_EQ(c.dataEmissao, emissao);
    EXPECT_EQ(c.descricao, QStringLiteral("Aluguel de março"));
    EXPECT_TRUE(c.terceiro);
    EXPECT_FALSE(c.importado);
    EXPECT_EQ(c.status, 0);
    // Not printed: flag 0, and the stored zero date reads as no date.
    EXPECT_FALSE(c.jaImpresso);
    EXPECT_FALSE(c.dataImpressao.has_value());
    EXPECT_EQ(dm().ConsultaChequesData.value(dm().ConsultaChequesData.locate("IDCHEQUE", r.chave), "DATAIMPRESSAO")
                  .toDate(),
              QDate(1899, 12, 30));
    // No choice is stored against the seed rows.
    EXPECT_EQ(c.idCentroCusto, std::optional<int>(1));
    EXPECT_EQ(c.idCompensacao, std::optional<int>(1));
    EXPECT_EQ(c.nomeCentroCusto, QStringLiteral("Nenhum"));

    ASSERT_TRUE(dm().marcaChequeImpresso(r.chave, QDate(2026, 5, 9), QStringLiteral("Erro: ")));
    RegistroCheque impresso = leCheque(r.chave);
    EXPECT_TRUE(impresso.jaImpresso);
    EXPECT_EQ(impresso.dataImpressao, std::optional<QDate>(QDate(2026, 5, 9)));

    ASSERT_TRUE(dm().cancelaCheque(r.chave, QStringLiteral("Erro: ")));
    EXPECT_EQ(leCheque(r.chave).status, 1);
}

TEST_F(RegistroTest, ChosenEntriesAndPrintDateAreStoredAndReadBack)
{
    const int banco = insertBank(QStringLiteral("341"));
    write(dm().spInsereCompensacao, {{"NOMECOMPENSACAO", QStringLiteral("Compensação")}},
          {&dm().ListaCompensacao});
    const int compensacao = dm().spInsereCompensacao.output("IDCOMPENSACAO").toInt();
    RegistroCheque c = chequeSemEscolhas(banco);
    c.favorecido = QStringLiteral("João Araújo");
    c.idCompensacao = compensacao;
    c.jaImpresso = true;
    c.dataImpressao = QDate(2026, 4, 30);
    c.terceiro = false;
    const WriteResult r = dm().insereCheque(c, QStringLiteral("Erro: "));
    ASSERT_TRUE(r) << r.message.toStdString();

    const RegistroCheque lido = leCheque(r.chave);
    EXPECT_EQ(lido.favorecido, QStringLiteral("João Araújo"));
    EXPECT_EQ(lido.idCompensacao, std::optional<int>(compensacao));
    EXPECT_EQ(lido.nomeCompensacao, QStringLiteral("Compensação"));
    EXPECT_TRUE(lido.jaImpresso);
    EXPECT_FALSE(lido.terceiro);
    EXPECT_EQ(lido.dataImpressao, std::optional<QDate>(QDate(2026, 4, 30)));
}

// The lists read any non-zero flag as "Sim"; a record only exactly -1.
TEST_F(RegistroTest, OnlyMinusOneReadsAsAFlagThatIsSet)
{
    const int banco = insertBank(QStringLiteral("001"));
    const int id = insertCheque(banco, emissao, {{"JAIMPRESSO", 1}, {"TERCEIRO", -1}, {"IMPORTADO", 2}});
    const RegistroCheque c = leCheque(id);
    EXPECT_FALSE(c.jaImpresso);
    EXPECT_TRUE(c.terceiro);
    EXPECT_FALSE(c.importado);
    EXPECT_EQ(dm().ConsultaChequesData.value(dm().ConsultaChequesData.locate("IDCHEQUE", id), "JAIMPRESSO1")
                  .toString(),
              QStringLiteral("Sim"));
}

TEST_F(RegistroTest, FailedCallReportsItsPrefixStoresNothingAndMakesNoKey)
{
    const int banco = insertBank(QStringLiteral("104"));
    RegistroCheque c = chequeSemEscolhas(banco);
    c.agencia = QStringLiteral("12345678901"); // one more than the column holds
    const WriteResult r = dm().insereCheque(c, QStringLiteral("Erro ao salvar os dados do cheque: "));
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("Erro ao salvar os dados do cheque: ")))
        << r.message.toStdString();
    EXPECT_GT(r.message.size(), QStringLiteral("Erro ao salvar os dados do cheque: ").size());
    EXPECT_EQ(r.chave, 0);
    dm().ConsultaChequesData.setParam(0, emissao);
    dm().ConsultaChequesData.reopen();
    EXPECT_TRUE(dm().ConsultaChequesData.isEmpty());

    // The transaction goes on: the same cheque with a fitting agency is stored.
    c.agencia = QStringLiteral("1234567890");
    EXPECT_TRUE(dm().insereCheque(c, QStringLiteral("Erro: ")));
}

// VALOR would take "1000000000000,00" or "-0,05" and report it stored.
TEST_F(RegistroTest, AmountNoChequeCarriesIsRefusedBeforeTheCall)
{
    const int banco = insertBank(QStringLiteral("105"));
    RegistroCheque c = chequeSemEscolhas(banco);
    c.valor = Money::fromCentavos(Money::MaxCentavos + 1);
    WriteResult r = dm().insereCheque(c, QStringLiteral("Erro: "));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.message, QStringLiteral("Erro: ") + Money::invalidText(QStringLiteral("1000000000000,00")));
    RegistroPreDatado s;
    s.idBanco = banco;
    s.valor = Money::fromCentavos(-5);
    r = dm().inserePreDatado(s, QStringLiteral("Erro: "));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.message, QStringLiteral("Erro: ") + Money::invalidText(QStringLiteral("-0,05")));
    dm().ConsultaChequesData.setParam(0, emissao);
    dm().ConsultaChequesData.reopen();
    EXPECT_TRUE(dm().ConsultaChequesData.isEmpty());
}

// A text's length travels in 16 bits: one of 32,766 characters or more
// (what a parameter holds at most) is refused as any other too long for its
// column, with its true length, never stored cut.
TEST_F(RegistroTest, TextBeyondWhatAParameterHoldsIsRefusedNotStoredCut)
{
    const int banco = insertBank(QStringLiteral("341"));
    const int favorecidos = dm().ListaFavorecidos.rowCount();
    for (const int length : {32766, 65536, 65546}) {
        SCOPED_TRACE(length);
        const QString longo(length, QLatin1Char('x'));
        RegistroCheque c = chequeSemEscolhas(banco);
        c.favorecido = longo;
        const WriteResult cheque = dm().insereCheque(c, QStringLiteral("Erro: "));
        const WriteResult favorecido =
            dm().gravar(dm().spInsereFavorecido, {{"NOMEFAVORECIDO", longo}}, QStringLiteral("Erro: "));
        for (const WriteResult& r : {cheque, favorecido}) {
            EXPECT_FALSE(r);
            EXPECT_NE(r.sqlCode, 0);
            EXPECT_TRUE(r.message.contains(QStringLiteral("truncation")) &&
                        r.message.contains(QStringLiteral("actual %1").arg(length)))
                << r.message.left(200).toStdString();
        }
    }
    EXPECT_TRUE(dm().ListaCheques.isEmpty());
    dm().ListaFavorecidos.reopen();
    EXPECT_EQ(dm().ListaFavorecidos.rowCount(), favorecidos);
}

TEST_F(RegistroTest, SeriesRoundTripMarkAndCancel)
{
    const int banco = insertBank(QStringLiteral("033"), QStringLiteral("Santander"));
    RegistroPreDatado s;
    s.idBanco = banco;
    s.agencia = QStringLiteral("0001");
    s.conta = QStringLiteral("4321");
    s.numInicialCheque = QStringLiteral("500");
    s.favorecido = QStringLiteral("Conceição");
    s.cidade = QStringLiteral("Maceió");
    s.valor = Money::fromCentavos(30000);
    s.dataInicialEmissao = emissao;
    s.numParcelas = 3;
    s.valorPeriodoImpressao = 2;
    s.periodoImpressao = QStringLiteral("Mês(es)");
    s.descricao = QStringLiteral("Prestações");
    const WriteResult r = dm().inserePreDatado(s, QStringLiteral("Erro: "));
    ASSERT_TRUE(r) << r.message.toStdString();
    ASSERT_GT(r.chave, 0);

    auto& consulta = dm().ConsultaPredatadoPeriodo;
    consulta.setParam(0, emissao);
    consulta.setParam(1, emissao);
    const auto le = [&] { return TdmNorvelCheque::preDatadoDaLinha(consulta, rowOf(consulta, "IDPREDATADO", r.chave)); };
    RegistroPreDatado lido = le();
    EXPECT_EQ(lido.idPreDatado, r.chave);
    EXPECT_EQ(lido.numBanco, QStringLiteral("033"));
    EXPECT_EQ(lido.nomeBanco, QStringLiteral("Santander"));
    EXPECT_EQ(lido.numInicialCheque, QStringLiteral("500"));
    EXPECT_EQ(lido.favorecido, QStringLiteral("Conceição"));
    EXPECT_EQ(lido.cidade, QStringLiteral("Maceió"));
    EXPECT_EQ(lido.valor.toText(), QStringLiteral("300,00"));
    EXPECT_EQ(lido.dataInicialEmissao, emissao);
    EXPECT_EQ(lido.numParcelas, 3);
    EXPECT_EQ(lido.valorPeriodoImpressao, 2);
    EXPECT_EQ(lido.periodoImpressao, QStringLiteral("Mês(es)"));
    EXPECT_EQ(lido.descricao, QStringLiteral("Prestações"));
    EXPECT_FALSE(lido.jaImpresso);
    EXPECT_FALSE(lido.dataImpressao.has_value());
    EXPECT_EQ(lido.idCentroCusto, std::optional<int>(1));

    ASSERT_TRUE(dm().marcaPreDatadoImpresso(r.chave, QDate(2026, 6, 1), QStringLiteral("Erro: ")));
    lido = le();
    EXPECT_TRUE(lido.jaImpresso);
    EXPECT_EQ(lido.dataImpressao, std::optional<QDate>(QDate(2026, 6, 1)));
    ASSERT_TRUE(dm().cancelaPreDatado(r.chave, QStringLiteral("Erro: ")));
    EXPECT_EQ(le().status, 1);
}

TEST_F(RegistroTest, BankCallsKeepBothBankListsCurrent)
{
    RegistroBanco b{0, QStringLiteral("748"), QStringLiteral("Sicredi"), QStringLiteral("SIC"),
                    QStringLiteral("016080050880060180070180125247546075")};
    const WriteResult inserido = dm().insereBanco(b, QStringLiteral("Erro: "));
    ASSERT_TRUE(inserido) << inserido.message.toStdString();
    b.idBanco = inserido.chave;
    const int linha = dm().ListaBancos2.locate("IDBANCO", b.idBanco);
    ASSERT_GE(linha, 0);
    EXPECT_EQ(dm().ListaBancos2.value(linha, "BANCO").toString(), QStringLiteral("Sicredi"));

    b.nomeBanco = QStringLiteral("Banco Cooperativo Sicredi");
    b.numBanco = QStringLiteral("749");
    ASSERT_TRUE(dm().salvaBanco(b, QStringLiteral("Erro: ")));
    const int alterado = dm().ListaBancos.locate("IDBANCO", b.idBanco);
    ASSERT_GE(alterado, 0);
    EXPECT_EQ(dm().ListaBancos.value(alterado, "NUMBANCO").toString(), QStringLiteral("749"));
    EXPECT_EQ(dm().ListaBancos.value(alterado, "NOMEBANCO").toString(), QStringLiteral("Banco Cooperativo Sicredi"));
    EXPECT_EQ(dm().ListaBancos.value(alterado, "SIGLABANCO").toString(), QStringLiteral("SIC"));

    ASSERT_TRUE(dm().apagaBanco(b.idBanco, QStringLiteral("Erro: ")));
    EXPECT_LT(dm().ListaBancos.locate("IDBANCO", b.idBanco), 0);
    EXPECT_LT(dm().ListaBancos2.locate("IDBANCO", b.idBanco), 0);
}

// Each search runs anew, points its data source at itself and closes the
// other search of the pair.
TEST_F(RegistroTest, SearchesPointTheirDataSourceAndCloseTheOther)
{
    const int banco = insertBank(QStringLiteral("237"));
    const QDate ontem = emissao.addDays(-1);
    const int deHoje = insertCheque(banco, emissao);
    const int deOntem = insertCheque(banco, ontem);
    const int serie = insertSeries(banco, ontem);
    const auto chaves = [](norvel::db::DbQuery& q, const char* campo) {
        QList<int> lidas;
        for (int linha = 0; linha < q.rowCount(); ++linha)
            lidas << q.value(linha, QLatin1String(campo)).toInt();
        return lidas;
    };

    norvel::db::DbQuery& porData = dm().consultaChequesPorData(emissao);
    EXPECT_EQ(&porData, &dm().ConsultaChequesData);
    EXPECT_EQ(dm().dsConsultaCheques, &porData);
    EXPECT_EQ(chaves(porData, "IDCHEQUE"), QList<int>{deHoje});
    norvel::db::DbQuery& porPeriodo = dm().consultaChequesPorPeriodo(ontem, emissao);
    EXPECT_EQ(&porPeriodo, &dm().ConsultaChequesPeriodo);
    EXPECT_EQ(dm().dsConsultaCheques, &porPeriodo);
    EXPECT_FALSE(dm().ConsultaChequesData.isActive());
    EXPECT_EQ(chaves(porPeriodo, "IDCHEQUE"), (QList<int>{deHoje, deOntem}));
    EXPECT_TRUE(dm().consultaChequesPorPeriodo(emissao, ontem).isEmpty());
    dm().consultaChequesPorData(ontem);
    EXPECT_FALSE(dm().ConsultaChequesPeriodo.isActive());

    norvel::db::DbQuery& series = dm().consultaPreDatadosPorPeriodo(ontem, emissao);
    EXPECT_EQ(&series, &dm().ConsultaPredatadoPeriodo);
    EXPECT_EQ(dm().dsConsultaPreDatados, &series);
    EXPECT_EQ(chaves(series, "IDPREDATADO"), QList<int>{serie});
    norvel::db::DbQuery& seriesDoDia = dm().consultaPreDatadosPorData(emissao);
    EXPECT_EQ(&seriesDoDia, &dm().ConsultaPredatadoData);
    EXPECT_EQ(dm().dsConsultaPreDatados, &seriesDoDia);
    EXPECT_FALSE(dm().ConsultaPredatadoPeriodo.isActive());
    EXPECT_TRUE(seriesDoDia.isEmpty());
}

TEST_F(RegistroTest, NameRegistriesInsertReadTheKeyAndDelete)
{
    const int banco = insertBank(QStringLiteral("001"));
    // A cheque keeps its cost centre and clearing type by key, its payee as text.
    for (const auto& [cadastro, campo] :
         {std::pair{Cadastro::Favorecido, "IDFAVORECIDO"}, std::pair{Cadastro::CentroCusto, "IDCENTROCUSTO"},
          std::pair{Cadastro::Compensacao, "IDCOMPENSACAO"}}) {
        norvel::db::DbQuery& lista = dm().listaDe(cadastro);
        const WriteResult r = dm().insereCadastro(cadastro, QStringLiteral("Conceição"), QStringLiteral("Erro: "));
        ASSERT_TRUE(r) << r.message.toStdString();
        EXPECT_GT(r.chave, 1);
        const int linha = lista.locate(QLatin1String(campo), r.chave);
        ASSERT_GE(linha, 0);
        EXPECT_EQ(dm().chaveDaLinha(cadastro, linha), r.chave);

        const bool guardadoNoCheque = cadastro != Cadastro::Favorecido;
        if (guardadoNoCheque)
            insertCheque(banco, emissao, {{campo, r.chave}});
        const WriteResult apagado = dm().apagaCadastro(cadastro, r.chave, QStringLiteral("Erro: "));
        EXPECT_EQ(apagado.ok, !guardadoNoCheque) << apagado.message.toStdString();
        EXPECT_EQ(apagado.sqlCode, guardadoNoCheque ? norvel::db::DbError::ForeignKeyViolation : 0);
        EXPECT_EQ(lista.locate(QLatin1String(campo), r.chave) >= 0, guardadoNoCheque);
    }
}

TEST_F(RegistroTest, BanksAreReadAsRecordsAndFoundByNumber)
{
    const int banco = insertBank(QStringLiteral("748"), QStringLiteral("Sicredi"));
    dm().ListaBancos.reopen();
    const std::optional<RegistroBanco> achado = dm().bancoDoNumero(QStringLiteral("748"));
    ASSERT_TRUE(achado.has_value());
    EXPECT_EQ(achado->idBanco, banco);
    EXPECT_EQ(achado->nomeBanco, QStringLiteral("Sicredi"));
    EXPECT_EQ(achado->siglaBanco, QStringLiteral("BCO"));
    EXPECT_EQ(achado->posicoesBanco, QStringLiteral("010203040506070809101112131415161718"));
    const int linha = dm().ListaBancos.locate("IDBANCO", banco);
    EXPECT_EQ(TdmNorvelCheque::bancoDaLinha(dm().ListaBancos, linha).numBanco, QStringLiteral("748"));
    EXPECT_FALSE(dm().bancoDoNumero(QStringLiteral("74")).has_value());
    EXPECT_TRUE(dm().bancoCadastrado(QStringLiteral("748")));
    EXPECT_FALSE(dm().bancoCadastrado(QStringLiteral("74")));
}
