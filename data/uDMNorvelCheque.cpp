#include "uDMNorvelCheque.h"

#include "DatabaseScript.h"
#include "ExecutableDirectory.h"

using norvel::db::DbError;
using norvel::db::DbQuery;
using norvel::db::DbRecord;

TdmNorvelCheque* dmNorvelCheque = nullptr;

namespace {

QString testDirectory;

// Lines 1-18 of both series consultations.
QStringList predatadoSelect()
{
    return {
        QStringLiteral("select chequepredatado.*, CASE WHEN chequepredatado.TERCEIRO = 0"),
        QStringLiteral("    THEN 'Não'"),
        QStringLiteral("    ELSE 'Sim'"),
        QStringLiteral("  END AS Terceiro1,"),
        QStringLiteral("CASE WHEN chequepredatado.JAIMPRESSO = 0"),
        QStringLiteral("    THEN 'Não'"),
        QStringLiteral("    ELSE 'Sim'"),
        QStringLiteral("  END AS JaImpresso1,"),
        QStringLiteral("CASE when chequepredatado.status = 0"),
        QStringLiteral("    THEN 'Válido'"),
        QStringLiteral("    ELSE 'Cancelado'"),
        QStringLiteral("  END AS STATUS1,"),
        QStringLiteral("chequepredatado.valorperiodoimpressao || ' ' || chequepredatado.periodoimpressao as PERIODO_PARCELAS,"),
        QStringLiteral("bancos.nomebanco, bancos.numbanco,  centrocusto.nomecentrocusto, compensacao.nomecompensacao from chequepredatado"),
        QStringLiteral("left join bancos on chequepredatado.idbanco = bancos.idbanco"),
        QStringLiteral("left join centrocusto on chequepredatado.idcentrocusto = centrocusto.idcentrocusto"),
        QStringLiteral("left join compensacao on chequepredatado.idcompensacao = compensacao.idcompensacao"),
        QString(),
    };
}

void setLabels(DbQuery& query, const QList<std::pair<QString, QString>>& labels)
{
    for (const auto& [field, label] : labels)
        query.setFieldLabel(field, label);
}

void setHidden(DbQuery& query, const QStringList& fields)
{
    for (const QString& field : fields)
        query.setFieldHidden(field);
}

} // namespace

TdmNorvelCheque::TdmNorvelCheque()
    : ibTransacao(ibBaseDados),
      ListaBancos(QStringLiteral("ListaBancos"), ibBaseDados, ibTransacao,
                  {QStringLiteral("select * from BANCOS order by NUMBANCO")}),
      ListaBancos2(QStringLiteral("ListaBancos2"), ibBaseDados, ibTransacao,
                   {QStringLiteral("Select IDBANCO, NUMBANCO, NOMEBANCO as BANCO from BANCOS")}),
      ListaCentroCustos(QStringLiteral("ListaCentroCustos"), ibBaseDados, ibTransacao,
                        {QStringLiteral("select * from CENTROCUSTO order by IDCENTROCUSTO")}),
      ListaCompensacao(QStringLiteral("ListaCompensacao"), ibBaseDados, ibTransacao,
                       {QStringLiteral("select * from  COMPENSACAO order by IDCOMPENSACAO")}),
      ListaFavorecidos(QStringLiteral("ListaFavorecidos"), ibBaseDados, ibTransacao,
                       {QStringLiteral("select *  from FAVORECIDO order by NOMEFAVORECIDO")}),
      ListaCheques(QStringLiteral("ListaCheques"), ibBaseDados, ibTransacao,
                   {
                       QStringLiteral("select cheques.*, CASE WHEN cheques.DataImpressao = '30.12.1899'"),
                       QStringLiteral("    THEN 'Não Impresso'"),
                       QStringLiteral("    ELSE Cheques.DataImpressao"),
                       QStringLiteral("  END AS DataImpressao, bancos.nomebanco, bancos.numbanco,  centrocusto.nomecentrocusto, compensacao.nomecompensacao from cheques"),
                       QStringLiteral("inner join bancos on cheques.idbanco = bancos.idbanco"),
                       QStringLiteral("inner join centrocusto on cheques.idcentrocusto = centrocusto.idcentrocusto"),
                       QStringLiteral("inner join compensacao on cheques.idcompensacao = compensacao.idcompensacao"),
                   }),
      listaPreDatados(QStringLiteral("listaPreDatados"), ibBaseDados, ibTransacao,
                      {
                          QStringLiteral("select chequepredatado.*, CASE WHEN chequepredatado.DataImpressao = '30.12.1899'"),
                          QStringLiteral("    THEN 'Não Impresso'"),
                          QStringLiteral("    ELSE CHEQUEPREDATADO.DataImpressao"),
                          QStringLiteral("  END AS DataImpressao, bancos.nomebanco, bancos.numbanco,  centrocusto.nomecentrocusto, compensacao.nomecompensacao from CHEQUEPREDATADO"),
                          QStringLiteral("inner join bancos on chequepredatado.idbanco = bancos.idbanco"),
                          QStringLiteral("inner join centrocusto on chequepredatado.idcentrocusto = centrocusto.idcentrocusto"),
                          QStringLiteral("inner join compensacao on chequepredatado.idcompensacao = compensacao.idcompensacao"),
                      }),
      ConsultaChequesData(QStringLiteral("ConsultaChequesData"), ibBaseDados, ibTransacao,
                          {
                              QStringLiteral("select cheques.*, CASE WHEN cheques.TERCEIRO = 0"),
                              QStringLiteral("    THEN 'Não'"),
                              QStringLiteral("    ELSE 'Sim'"),
                              QStringLiteral("  END AS Terceiro1,"),
                              QStringLiteral("CASE WHEN cheques.JAIMPRESSO = 0"),
                              QStringLiteral("    THEN 'Não'"),
                              QStringLiteral("    ELSE 'Sim'"),
                              QStringLiteral("  END AS JaImpresso1,"),
                              QStringLiteral("CASE when cheques.status = 0"),
                              QStringLiteral("    THEN 'Válido'"),
                              QStringLiteral("    ELSE 'Cancelado'"),
                              QStringLiteral("  END AS status1,"),
                              QStringLiteral("bancos.nomebanco, bancos.numbanco,centrocusto.nomecentrocusto,compensacao.nomecompensacao"),
                              QStringLiteral("from cheques"),
                              QStringLiteral("left join bancos on cheques.idbanco = bancos.idbanco"),
                              QStringLiteral("left join centrocusto on cheques.idcentrocusto = centrocusto.idcentrocusto"),
                              QStringLiteral("left join compensacao on compensacao.idcompensacao = cheques.idcompensacao"),
                              QStringLiteral("where cheques.DataEmissao=:DataEmissao"),
                              QStringLiteral("order by cheques.idCheque"),
                          }),
      ConsultaChequesPeriodo(QStringLiteral("ConsultaChequesPeriodo"), ibBaseDados, ibTransacao,
                             {
                                 QStringLiteral("select cheques.*, CASE WHEN cheques.JAIMPRESSO = 0"),
                                 QStringLiteral("    THEN 'Não'"),
                                 QStringLiteral("    ELSE 'Sim'"),
                                 QStringLiteral("  END AS JaImpresso1,"),
                                 QStringLiteral(" CASE WHEN cheques.TERCEIRO = 0"),
                                 QStringLiteral("    THEN 'Não'"),
                                 QStringLiteral("    ELSE 'Sim'"),
                                 QStringLiteral("  END AS Terceiro1,"),
                                 QStringLiteral("CASE when cheques.status = 0"),
                                 QStringLiteral("    THEN 'Válido'"),
                                 QStringLiteral("    ELSE 'Cancelado'"),
                                 QStringLiteral("  END AS status1,"),
                                 QStringLiteral("bancos.nomebanco, bancos.numbanco,  centrocusto.nomecentrocusto, compensacao.nomecompensacao from cheques"),
                                 QStringLiteral("left join bancos on cheques.idbanco = bancos.idbanco"),
                                 QStringLiteral("left join centrocusto on cheques.idcentrocusto = centrocusto.idcentrocusto"),
                                 QStringLiteral("left join compensacao on cheques.idcompensacao = compensacao.idcompensacao"),
                                 QStringLiteral("where cheques.DataEmissao between :DataEmissaoInicial and :DataEmissaoFinal"),
                                 QStringLiteral("order by cheques.idCheque"),
                             }),
      ConsultaPredatadoData(QStringLiteral("ConsultaPredatadoData"), ibBaseDados, ibTransacao,
                            predatadoSelect() + QStringList{
                                QStringLiteral("where chequepredatado.datainicialemissao =:DataEmissao"),
                                QStringLiteral("order by chequepredatado.idPredatado"),
                            }),
      ConsultaPredatadoPeriodo(QStringLiteral("ConsultaPredatadoPeriodo"), ibBaseDados, ibTransacao,
                               predatadoSelect() + QStringList{
                                   QStringLiteral("where chequepredatado.datainicialemissao between :DataEmissaoInicial and :DataEmissaoFinal"),
                                   QStringLiteral("order by chequepredatado.idPredatado"),
                               }),
      spConsultaBanco(QStringLiteral("spConsultaBanco"), ibBaseDados, ibTransacao,
                      {QStringLiteral("select NUMBANCO from BANCOS where NUMBANCO =:NUMBANCOADD;")}),
      spInsereBanco(QStringLiteral("spInsereBanco"), ibBaseDados, ibTransacao, QStringLiteral("INSERIR_BANCO")),
      spSalvarBanco(QStringLiteral("spSalvarBanco"), ibBaseDados, ibTransacao, QStringLiteral("SALVAR_BANCO")),
      spApagaBanco(QStringLiteral("spApagaBanco"), ibBaseDados, ibTransacao, QStringLiteral("APAGA_BANCO")),
      spInsereCentroCusto(QStringLiteral("spInsereCentroCusto"), ibBaseDados, ibTransacao, QStringLiteral("INSERIR_CENTROCUSTO")),
      spApagaCentroCusto(QStringLiteral("spApagaCentroCusto"), ibBaseDados, ibTransacao, QStringLiteral("APAGA_CENTROCUSTO")),
      spInsereCompensacao(QStringLiteral("spInsereCompensacao"), ibBaseDados, ibTransacao, QStringLiteral("INSERIR_COMPENSACAO")),
      spApagaCompensacao(QStringLiteral("spApagaCompensacao"), ibBaseDados, ibTransacao, QStringLiteral("APAGA_COMPENSACAO")),
      spInsereFavorecido(QStringLiteral("spInsereFavorecido"), ibBaseDados, ibTransacao, QStringLiteral("INSERIR_FAVORECIDO")),
      spApagaFavorecido(QStringLiteral("spApagaFavorecido"), ibBaseDados, ibTransacao, QStringLiteral("APAGA_FAVORECIDO")),
      spInsereCheque(QStringLiteral("spInsereCheque"), ibBaseDados, ibTransacao, QStringLiteral("INSERIR_CHEQUE")),
      spImprimeCheque(QStringLiteral("spImprimeCheque"), ibBaseDados, ibTransacao, QStringLiteral("IMPRIMIR_CHEQUE")),
      spCancelarCheque(QStringLiteral("spCancelarCheque"), ibBaseDados, ibTransacao, QStringLiteral("CANCELAR_CHEQUE")),
      spInserePredatado(QStringLiteral("spInserePredatado"), ibBaseDados, ibTransacao, QStringLiteral("INSERIR_PREDATADO")),
      spImprimePredatado(QStringLiteral("spImprimePredatado"), ibBaseDados, ibTransacao, QStringLiteral("IMPRIMIR_PREDATADO")),
      spCancelarPredatado(QStringLiteral("spCancelarPredatado"), ibBaseDados, ibTransacao, QStringLiteral("CANCELAR_PREDATADO")),
      spSalvaCheque(QStringLiteral("spSalvaCheque"), ibBaseDados, ibTransacao, QStringLiteral("SALVAR_CHEQUE")),
      spSalvaPredatado(QStringLiteral("spSalvaPredatado"), ibBaseDados, ibTransacao, QStringLiteral("SALVAR_PREDATADO")),
      spApagaCheque(QStringLiteral("spApagaCheque"), ibBaseDados, ibTransacao, QStringLiteral("APAGA_CHEQUE")),
      spApagaPredatado(QStringLiteral("spApagaPredatado"), ibBaseDados, ibTransacao, QStringLiteral("APAGA_PREDATADO"))
{
    ibBaseDados.params = norvel::db::baseConnectionParams();
    ibBaseDados.sqlDialect = 3;

    setLabels(ListaBancos, {{QStringLiteral("NUMBANCO"), QStringLiteral("Número do Banco")},
                            {QStringLiteral("NOMEBANCO"), QStringLiteral("Nome do Banco")}});
    ListaBancos2.setColumnOrder({QStringLiteral("IDBANCO"), QStringLiteral("BANCO"), QStringLiteral("NUMBANCO")});
    ListaBancos2.setFilter([this](const DbRecord& record) { return ListaBancos2FilterRecord(record); });

    const QList<std::pair<QString, QString>> chequeLabels = {
        {QStringLiteral("NUMAGENCIA"), QStringLiteral("Agência")},
        {QStringLiteral("NUMCHEQUE"), QStringLiteral("Nº do Cheque")},
        {QStringLiteral("CONTACORRENTE"), QStringLiteral("Conta Corrente")},
        {QStringLiteral("DATAEMISSAO"), QStringLiteral("Dt. de Emissão")},
        {QStringLiteral("DATAIMPRESSAO"), QStringLiteral("Dt. de Impressão")},
        {QStringLiteral("FAVORECIDO"), QStringLiteral("Favorecido")},
        {QStringLiteral("LOCALIDADE"), QStringLiteral("Cidade")},
        {QStringLiteral("VALOR"), QStringLiteral("Valor")},
        {QStringLiteral("JAIMPRESSO1"), QStringLiteral("Já Impresso")},
        {QStringLiteral("NOMEBANCO"), QStringLiteral("Banco")},
        {QStringLiteral("NUMBANCO"), QStringLiteral("Nº do Banco")},
        {QStringLiteral("NOMECENTROCUSTO"), QStringLiteral("Centro de Custo")},
        {QStringLiteral("NOMECOMPENSACAO"), QStringLiteral("Tipo de Compensação")},
    };
    setLabels(ConsultaChequesData, chequeLabels);
    ConsultaChequesData.setFieldLabel(QStringLiteral("JAIMPRESSO"), QStringLiteral("Já Impresso"));
    setLabels(ConsultaChequesPeriodo, chequeLabels);
    ConsultaChequesPeriodo.setFieldLabel(QStringLiteral("TERCEIRO1"), QStringLiteral("De tercerios"));

    const QList<std::pair<QString, QString>> seriesLabels = {
        {QStringLiteral("CONTACORRENTE"), QStringLiteral("Conta Corrente")},
        {QStringLiteral("DATAINICIALEMISSAO"), QStringLiteral("Data de Emissão")},
        {QStringLiteral("DATAIMPRESSAO"), QStringLiteral("Data de Impressão")},
        {QStringLiteral("FAVORECIDO"), QStringLiteral("Favorecido")},
        {QStringLiteral("LOCALIDADE"), QStringLiteral("Cidade")},
        {QStringLiteral("VALOR"), QStringLiteral("Valor")},
        {QStringLiteral("NUMPARCELAS"), QStringLiteral("Nº de Parcelas")},
        {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")},
        {QStringLiteral("TERCEIRO1"), QStringLiteral("De terceiros")},
        {QStringLiteral("JAIMPRESSO1"), QStringLiteral("Já Impresso")},
        {QStringLiteral("NOMEBANCO"), QStringLiteral("Banco")},
        {QStringLiteral("NUMBANCO"), QStringLiteral("Nº do Banco")},
        {QStringLiteral("NOMECENTROCUSTO"), QStringLiteral("Centro de Custo")},
        {QStringLiteral("PERIODO_PARCELAS"), QStringLiteral("Período de Impressão")},
    };
    const QStringList seriesHidden = {QStringLiteral("IDPREDATADO"), QStringLiteral("IDBANCO"),
                                      QStringLiteral("IDCENTROCUSTO"), QStringLiteral("JAIMPRESSO"),
                                      QStringLiteral("IMPORTADO"), QStringLiteral("TERCEIRO"),
                                      QStringLiteral("IDCOMPENSACAO")};
    setLabels(ConsultaPredatadoData, seriesLabels);
    setLabels(ConsultaPredatadoData, {{QStringLiteral("NUMAGENCIA"), QStringLiteral("Agencia")},
                                      {QStringLiteral("NUMINICIALCHEQUE"), QStringLiteral("Nº Inical do Cheque")},
                                      {QStringLiteral("IMPORTADO"), QStringLiteral("Importado")},
                                      {QStringLiteral("NOMECOMPENSACAO"), QStringLiteral("Tipo de Compensação")}});
    setHidden(ConsultaPredatadoData, seriesHidden);
    setLabels(ConsultaPredatadoPeriodo, seriesLabels);
    setLabels(ConsultaPredatadoPeriodo, {{QStringLiteral("NUMAGENCIA"), QStringLiteral("Agência")},
                                         {QStringLiteral("NUMINICIALCHEQUE"), QStringLiteral("Nº do Cheque Inicial")},
                                         {QStringLiteral("NOMECOMPENSACAO"), QStringLiteral("Tipo da Compensação")}});
    setHidden(ConsultaPredatadoPeriodo, seriesHidden + QStringList{QStringLiteral("VALORPERIODOIMPRESSAO"),
                                                                   QStringLiteral("PERIODOIMPRESSAO")});
    dmNorvelCheque = this;
}

TdmNorvelCheque::~TdmNorvelCheque()
{
    if (dmNorvelCheque == this)
        dmNorvelCheque = nullptr;
}

void TdmNorvelCheque::setDatabaseDirectoryForTests(const QString& directory)
{
    testDirectory = directory;
    if (!testDirectory.isEmpty() && !testDirectory.endsWith(QLatin1Char('/')))
        testDirectory += QLatin1Char('/');
}

QString TdmNorvelCheque::databaseDirectory()
{
    return testDirectory.isEmpty() ? norvel::db::executableDirectory() : testDirectory;
}

void TdmNorvelCheque::DataModuleCreate()
{
    ibBaseDados.databaseName = databaseDirectory() + QStringLiteral("base.fdb");
    ibBaseDados.open();
    for (DbQuery* list : {&ListaBancos, &ListaBancos2, &ListaCentroCustos, &ListaCompensacao, &ListaCheques,
                          &ListaFavorecidos})
        list->open();
}

bool TdmNorvelCheque::ListaBancos2FilterRecord(const DbRecord& record) const
{
    return FiltroBanco.isEmpty()
        || record.value(QStringLiteral("NUMBANCO")).toString().contains(FiltroBanco, Qt::CaseSensitive);
}

WriteResult TdmNorvelCheque::gravar(norvel::db::DbStoredProc& sp, const ProcInputs& entradas,
                                    const QString& prefixo, const QList<DbQuery*>& listas)
{
    try {
        if (!ibTransacao.inTransaction())
            ibTransacao.startTransaction();
        // Only the inputs of this call: one left out is refused, never taken
        // from an earlier call of the same procedure.
        sp.clearParams();
        for (const auto& [name, value] : entradas)
            sp.setParam(name, value);
        sp.execute();
        ibTransacao.commitRetaining();
        for (DbQuery* list : listas)
            list->reopen();
        return {};
    } catch (const DbError& e) {
        try {
            if (ibTransacao.inTransaction())
                ibTransacao.rollbackRetaining();
        } catch (const DbError&) {
            // The original error is the one worth reporting.
        }
        return {false, prefixo + e.message(), e.sqlCode()};
    }
}
