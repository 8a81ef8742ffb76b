#include "uDMNorvelCheque.h"

#include "DatabaseScript.h"
#include "ExecutableDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

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
    if (!testDirectory.isEmpty())
        return testDirectory;
    return norvel::db::programaInstalado() ? norvel::db::pastaDadosUsuario() + QLatin1Char('/')
                                           : norvel::db::executableDirectory();
}

namespace {

// An installed program's register, made on its first start from the empty
// one packaged beside it. The copy is written under a name of its own and
// then renamed, never over an existing file: a start cut short leaves no
// half-copied register, and of two first starts at once the second opens
// the first one's register.
void criaBaseDoUsuario(const QString& base)
{
    if (QFileInfo::exists(base))
        return;
    const auto falha = [&base](const QString& motivo) {
        return DbError(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(base, motivo));
    };
    const QString pasta = QFileInfo(base).absolutePath();
    if (!QDir().mkpath(pasta))
        throw falha(QStringLiteral("a pasta %1 não pôde ser criada.").arg(pasta));
    QFile vazia(norvel::db::baseVaziaInstalada());
    if (!vazia.open(QIODevice::ReadOnly))
        throw falha(QStringLiteral("o banco vazio %1 não pôde ser lido (%2).").arg(vazia.fileName(), vazia.errorString()));
    QTemporaryFile copia(base + QStringLiteral(".XXXXXX"));
    const QByteArray conteudo = vazia.readAll();
    if (!copia.open() || copia.write(conteudo) != conteudo.size() || !copia.flush())
        throw falha(copia.errorString() + QLatin1Char('.'));
    // A renamed temporary file is still removed with the object unless told.
    if (copia.rename(base))
        copia.setAutoRemove(false);
    else if (!QFileInfo::exists(base))
        throw falha(copia.errorString() + QLatin1Char('.'));
}

} // namespace

void TdmNorvelCheque::DataModuleCreate()
{
    if (local_.noServidor()) {
        ibBaseDados.databaseName = local_.nome();
        ibBaseDados.params = local_.parametros();
    } else {
        const QString pasta = databaseDirectory();
        ibBaseDados.databaseName = pasta + QStringLiteral("base.fdb");
        // Only an installed program's register lives in the user's folder.
        if (pasta == norvel::db::pastaDadosUsuario() + QLatin1Char('/'))
            criaBaseDoUsuario(ibBaseDados.databaseName);
    }
    ibBaseDados.open();
    abreListas();
}

void TdmNorvelCheque::abreListas()
{
    // Attached first: while the server is away the lists keep the rows they
    // show.
    ibBaseDados.attachment();
    // ListaCheques is only searched by code, which fetches as it needs: its
    // reopening after every cheque written costs a screen, not a chunk.
    for (DbQuery* list : {&ListaBancos, &ListaBancos2, &ListaCentroCustos, &ListaCompensacao, &ListaCheques,
                          &ListaFavorecidos})
        if (!list->isActive() || list->isStale())
            list->reopen(list == &ListaCheques ? PrimeiraTela : DbQuery::ChunkSize);
    for (DbQuery* list : {&listaPreDatados, &ConsultaChequesData, &ConsultaChequesPeriodo, &ConsultaPredatadoData,
                          &ConsultaPredatadoPeriodo})
        if (list->isStale())
            list->reopen();
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
        abreListas();
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

namespace {

QVariant ouNulo(const std::optional<int>& chave)
{
    return chave ? QVariant(*chave) : QVariant();
}

QVariant ouNulo(const std::optional<QDate>& data)
{
    return data ? QVariant(*data) : QVariant();
}

int bandeira(bool ligada)
{
    return ligada ? -1 : 0;
}

// VALOR holds a cheque's amount text: an amount no cheque carries (below
// zero, beyond the printer's digits) is refused before the call.
std::optional<WriteResult> valorRecusado(Money valor, const QString& prefixo)
{
    if (valor.fitsACheque())
        return std::nullopt;
    return WriteResult{false, prefixo + Money::invalidText(valor.toText())};
}

// Readers of a fetched row by field name.
class Linha {
public:
    Linha(const DbQuery& consulta, int linha) : consulta_(consulta), linha_(linha) {}

    QString texto(const char* campo) const { return valor(campo).toString(); }
    int inteiro(const char* campo) const { return valor(campo).toInt(); }
    std::optional<int> chave(const char* campo) const
    {
        const QVariant v = valor(campo);
        return v.isValid() ? std::optional<int>(v.toInt()) : std::nullopt;
    }
    bool bandeira(const char* campo) const
    {
        const QVariant v = valor(campo);
        return v.isValid() && v.toInt() == -1;
    }
    QDate data(const char* campo) const { return valor(campo).toDate(); }
    // The amount text of VALOR; a text that is no amount is refused.
    Money dinheiro(const char* campo) const
    {
        const QString textoValor = texto(campo);
        const std::optional<Money> m = Money::parse(textoValor);
        if (!m)
            throw DbError(Money::invalidText(textoValor));
        return *m;
    }
    // The zero date is how a row without a print date is stored.
    std::optional<QDate> dataImpressao() const
    {
        const QDate d = data("DATAIMPRESSAO");
        if (!d.isValid() || d == QDate(1899, 12, 30))
            return std::nullopt;
        return d;
    }

private:
    QVariant valor(const char* campo) const { return consulta_.value(linha_, QLatin1String(campo)); }

    const DbQuery& consulta_;
    int linha_;
};

} // namespace

WriteResult TdmNorvelCheque::insereCheque(const RegistroCheque& cheque, const QString& prefixo)
{
    if (const auto recusa = valorRecusado(cheque.valor, prefixo))
        return *recusa;
    WriteResult r = gravar(spInsereCheque,
                           {{QStringLiteral("NUMAGENCIA"), cheque.agencia},
                            {QStringLiteral("IDBANCO"), cheque.idBanco},
                            {QStringLiteral("IDCENTROCUSTO"), ouNulo(cheque.idCentroCusto)},
                            {QStringLiteral("NUMCHEQUE"), cheque.numCheque},
                            {QStringLiteral("CONTACORRENTE"), cheque.conta},
                            {QStringLiteral("DATAEMISSAO"), cheque.dataEmissao},
                            {QStringLiteral("DATAIMPRESSAO"), ouNulo(cheque.dataImpressao)},
                            {QStringLiteral("FAVORECIDO"), cheque.favorecido},
                            {QStringLiteral("LOCALIDADE"), cheque.cidade},
                            {QStringLiteral("VALOR"), cheque.valor.toText()},
                            {QStringLiteral("JAIMPRESSO"), bandeira(cheque.jaImpresso)},
                            {QStringLiteral("IMPORTADO"), bandeira(cheque.importado)},
                            {QStringLiteral("TERCEIRO"), bandeira(cheque.terceiro)},
                            {QStringLiteral("IDCOMPENSACAO"), ouNulo(cheque.idCompensacao)},
                            {QStringLiteral("DESCRICAO"), cheque.descricao},
                            {QStringLiteral("STATUS"), QString::number(cheque.status)}},
                           prefixo, {&ListaCheques});
    if (r)
        r.chave = spInsereCheque.output(QStringLiteral("IDCHEQUE")).toInt();
    return r;
}

WriteResult TdmNorvelCheque::marcaChequeImpresso(int idCheque, const QDate& data, const QString& prefixo)
{
    return gravar(spImprimeCheque, {{QStringLiteral("DATAIMPRESSAO"), data}, {QStringLiteral("IDCHEQUE"), idCheque}},
                  prefixo, {&ListaCheques});
}

WriteResult TdmNorvelCheque::cancelaCheque(int idCheque, const QString& prefixo)
{
    return gravar(spCancelarCheque, {{QStringLiteral("IDCHEQUE"), idCheque}}, prefixo, {&ListaCheques});
}

// listaPreDatados is the one list of the table and no screen opens it: the
// series calls reopen nothing.
WriteResult TdmNorvelCheque::inserePreDatado(const RegistroPreDatado& serie, const QString& prefixo)
{
    if (const auto recusa = valorRecusado(serie.valor, prefixo))
        return *recusa;
    WriteResult r = gravar(spInserePredatado,
                           {{QStringLiteral("NUMAGENCIA"), serie.agencia},
                            {QStringLiteral("IDBANCO"), serie.idBanco},
                            {QStringLiteral("IDCENTROCUSTO"), ouNulo(serie.idCentroCusto)},
                            {QStringLiteral("NUMINICIALCHEQUE"), serie.numInicialCheque},
                            {QStringLiteral("CONTACORRENTE"), serie.conta},
                            {QStringLiteral("DATAINICIALEMISSAO"), serie.dataInicialEmissao},
                            {QStringLiteral("DATAIMPRESSAO"), ouNulo(serie.dataImpressao)},
                            {QStringLiteral("FAVORECIDO"), serie.favorecido},
                            {QStringLiteral("LOCALIDADE"), serie.cidade},
                            {QStringLiteral("VALOR"), serie.valor.toText()},
                            {QStringLiteral("JAIMPRESSO"), bandeira(serie.jaImpresso)},
                            {QStringLiteral("IMPORTADO"), bandeira(serie.importado)},
                            {QStringLiteral("TERCEIRO"), bandeira(serie.terceiro)},
                            {QStringLiteral("IDCOMPENSACAO"), ouNulo(serie.idCompensacao)},
                            {QStringLiteral("NUMPARCELAS"), serie.numParcelas},
                            {QStringLiteral("VALORPERIODOIMPRESSAO"), serie.valorPeriodoImpressao},
                            {QStringLiteral("PERIODOIMPRESSAO"), serie.periodoImpressao},
                            {QStringLiteral("DESCRICAO"), serie.descricao},
                            {QStringLiteral("STATUS"), QString::number(serie.status)}},
                           prefixo);
    if (r)
        r.chave = spInserePredatado.output(QStringLiteral("IDPREDATADO")).toInt();
    return r;
}

WriteResult TdmNorvelCheque::marcaPreDatadoImpresso(int idPreDatado, const QDate& data, const QString& prefixo)
{
    return gravar(spImprimePredatado,
                  {{QStringLiteral("IDPREDATADO"), idPreDatado}, {QStringLiteral("DATAIMPRESSAO"), data}}, prefixo);
}

WriteResult TdmNorvelCheque::cancelaPreDatado(int idPreDatado, const QString& prefixo)
{
    return gravar(spCancelarPredatado, {{QStringLiteral("IDPREDATADO"), idPreDatado}}, prefixo);
}

WriteResult TdmNorvelCheque::insereBanco(const RegistroBanco& banco, const QString& prefixo)
{
    WriteResult r = gravar(spInsereBanco,
                           {{QStringLiteral("SIGLABANCO"), banco.siglaBanco},
                            {QStringLiteral("NOMEBANCO"), banco.nomeBanco},
                            {QStringLiteral("NUMBANCO"), banco.numBanco},
                            {QStringLiteral("POSICOESBANCO"), banco.posicoesBanco}},
                           prefixo, {&ListaBancos, &ListaBancos2});
    if (r)
        r.chave = spInsereBanco.output(QStringLiteral("IDBANCO")).toInt();
    return r;
}

WriteResult TdmNorvelCheque::salvaBanco(const RegistroBanco& banco, const QString& prefixo)
{
    return gravar(spSalvarBanco,
                  {{QStringLiteral("IDBANCO"), banco.idBanco},
                   {QStringLiteral("NOMEBANCO"), banco.nomeBanco},
                   {QStringLiteral("NUMBANCO"), banco.numBanco},
                   {QStringLiteral("SIGLABANCO"), banco.siglaBanco},
                   {QStringLiteral("POSICOESBANCO"), banco.posicoesBanco}},
                  prefixo, {&ListaBancos, &ListaBancos2});
}

WriteResult TdmNorvelCheque::apagaBanco(int idBanco, const QString& prefixo)
{
    return gravar(spApagaBanco, {{QStringLiteral("IDBANCO"), idBanco}}, prefixo, {&ListaBancos, &ListaBancos2});
}

namespace {

// Where the three registries of a name differ.
struct DadosCadastro {
    DbQuery TdmNorvelCheque::*lista;
    norvel::db::DbStoredProc TdmNorvelCheque::*insere;
    norvel::db::DbStoredProc TdmNorvelCheque::*apaga;
    const char* chave;
    const char* nome;
};

const DadosCadastro& dadosDe(Cadastro cadastro)
{
    // In the order of Cadastro.
    static const DadosCadastro dados[] = {
        {&TdmNorvelCheque::ListaFavorecidos, &TdmNorvelCheque::spInsereFavorecido,
         &TdmNorvelCheque::spApagaFavorecido, "IDFAVORECIDO", "NOMEFAVORECIDO"},
        {&TdmNorvelCheque::ListaCentroCustos, &TdmNorvelCheque::spInsereCentroCusto,
         &TdmNorvelCheque::spApagaCentroCusto, "IDCENTROCUSTO", "NOMECENTROCUSTO"},
        {&TdmNorvelCheque::ListaCompensacao, &TdmNorvelCheque::spInsereCompensacao,
         &TdmNorvelCheque::spApagaCompensacao, "IDCOMPENSACAO", "NOMECOMPENSACAO"},
    };
    return dados[static_cast<int>(cadastro)];
}

} // namespace

WriteResult TdmNorvelCheque::insereCadastro(Cadastro cadastro, const QString& nome, const QString& prefixo)
{
    const DadosCadastro& d = dadosDe(cadastro);
    WriteResult r = gravar(this->*d.insere, {{QLatin1String(d.nome), nome}}, prefixo, {&(this->*d.lista)});
    if (r)
        r.chave = (this->*d.insere).output(QLatin1String(d.chave)).toInt();
    return r;
}

WriteResult TdmNorvelCheque::apagaCadastro(Cadastro cadastro, int chave, const QString& prefixo)
{
    const DadosCadastro& d = dadosDe(cadastro);
    return gravar(this->*d.apaga, {{QLatin1String(d.chave), chave}}, prefixo, {&(this->*d.lista)});
}

DbQuery& TdmNorvelCheque::listaDe(Cadastro cadastro)
{
    return this->*dadosDe(cadastro).lista;
}

int TdmNorvelCheque::chaveDaLinha(Cadastro cadastro, int linha)
{
    const DadosCadastro& d = dadosDe(cadastro);
    return Linha(this->*d.lista, linha).inteiro(d.chave);
}

DbQuery& TdmNorvelCheque::consulta(DbQuery& escolhida, DbQuery& outra, DbQuery*& fonte, const QVariantList& datas)
{
    abreListas();
    for (int i = 0; i < datas.size(); ++i)
        escolhida.setParam(i, datas[i]);
    fonte = &escolhida;
    escolhida.reopen(PrimeiraTela);
    outra.close();
    return escolhida;
}

DbQuery& TdmNorvelCheque::consultaChequesPorData(const QDate& data)
{
    return consulta(ConsultaChequesData, ConsultaChequesPeriodo, dsConsultaCheques, {data});
}

DbQuery& TdmNorvelCheque::consultaChequesPorPeriodo(const QDate& inicial, const QDate& final)
{
    return consulta(ConsultaChequesPeriodo, ConsultaChequesData, dsConsultaCheques, {inicial, final});
}

DbQuery& TdmNorvelCheque::consultaPreDatadosPorData(const QDate& data)
{
    return consulta(ConsultaPredatadoData, ConsultaPredatadoPeriodo, dsConsultaPreDatados, {data});
}

DbQuery& TdmNorvelCheque::consultaPreDatadosPorPeriodo(const QDate& inicial, const QDate& final)
{
    return consulta(ConsultaPredatadoPeriodo, ConsultaPredatadoData, dsConsultaPreDatados, {inicial, final});
}

RegistroBanco TdmNorvelCheque::bancoDaLinha(const DbQuery& consulta, int linha)
{
    const Linha l(consulta, linha);
    return {l.inteiro("IDBANCO"), l.texto("NUMBANCO"), l.texto("NOMEBANCO"), l.texto("SIGLABANCO"),
            l.texto("POSICOESBANCO")};
}

std::optional<RegistroBanco> TdmNorvelCheque::bancoDoNumero(const QString& numero)
{
    abreListas();
    const int linha = ListaBancos.locate(QStringLiteral("NUMBANCO"), numero);
    if (linha < 0)
        return std::nullopt;
    return bancoDaLinha(ListaBancos, linha);
}

bool TdmNorvelCheque::bancoCadastrado(const QString& numero)
{
    abreListas();
    spConsultaBanco.close();
    spConsultaBanco.setParam(0, numero);
    spConsultaBanco.open();
    const bool cadastrado = !spConsultaBanco.isEmpty();
    spConsultaBanco.close();
    return cadastrado;
}

RegistroCheque TdmNorvelCheque::chequeDaLinha(const DbQuery& consulta, int linha)
{
    const Linha l(consulta, linha);
    RegistroCheque c;
    c.idCheque = l.inteiro("IDCHEQUE");
    c.idBanco = l.inteiro("IDBANCO");
    c.numBanco = l.texto("NUMBANCO");
    c.nomeBanco = l.texto("NOMEBANCO");
    c.agencia = l.texto("NUMAGENCIA");
    c.conta = l.texto("CONTACORRENTE");
    c.numCheque = l.texto("NUMCHEQUE");
    c.favorecido = l.texto("FAVORECIDO");
    c.cidade = l.texto("LOCALIDADE");
    c.valor = l.dinheiro("VALOR");
    c.dataEmissao = l.data("DATAEMISSAO");
    c.dataImpressao = l.dataImpressao();
    c.jaImpresso = l.bandeira("JAIMPRESSO");
    c.importado = l.bandeira("IMPORTADO");
    c.terceiro = l.bandeira("TERCEIRO");
    c.idCentroCusto = l.chave("IDCENTROCUSTO");
    c.nomeCentroCusto = l.texto("NOMECENTROCUSTO");
    c.idCompensacao = l.chave("IDCOMPENSACAO");
    c.nomeCompensacao = l.texto("NOMECOMPENSACAO");
    c.descricao = l.texto("DESCRICAO");
    c.status = l.inteiro("STATUS");
    return c;
}

RegistroPreDatado TdmNorvelCheque::preDatadoDaLinha(const DbQuery& consulta, int linha)
{
    const Linha l(consulta, linha);
    RegistroPreDatado s;
    s.idPreDatado = l.inteiro("IDPREDATADO");
    s.idBanco = l.inteiro("IDBANCO");
    s.numBanco = l.texto("NUMBANCO");
    s.nomeBanco = l.texto("NOMEBANCO");
    s.agencia = l.texto("NUMAGENCIA");
    s.conta = l.texto("CONTACORRENTE");
    s.numInicialCheque = l.texto("NUMINICIALCHEQUE");
    s.favorecido = l.texto("FAVORECIDO");
    s.cidade = l.texto("LOCALIDADE");
    s.valor = l.dinheiro("VALOR");
    s.dataInicialEmissao = l.data("DATAINICIALEMISSAO");
    s.dataImpressao = l.dataImpressao();
    s.jaImpresso = l.bandeira("JAIMPRESSO");
    s.importado = l.bandeira("IMPORTADO");
    s.terceiro = l.bandeira("TERCEIRO");
    s.idCentroCusto = l.chave("IDCENTROCUSTO");
    s.nomeCentroCusto = l.texto("NOMECENTROCUSTO");
    s.idCompensacao = l.chave("IDCOMPENSACAO");
    s.nomeCompensacao = l.texto("NOMECOMPENSACAO");
    s.numParcelas = l.inteiro("NUMPARCELAS");
    s.valorPeriodoImpressao = l.inteiro("VALORPERIODOIMPRESSAO");
    s.periodoImpressao = l.texto("PERIODOIMPRESSAO");
    s.descricao = l.texto("DESCRICAO");
    s.status = l.inteiro("STATUS");
    return s;
}
