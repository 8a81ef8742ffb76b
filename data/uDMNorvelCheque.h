#pragma once

// The data module: the program's one access layer to the register, the
// embedded "base.fdb" or a database on a Firebird server (defineLocal()).
//
// Life cycle. main() constructs one TdmNorvelCheque after the main window,
// sets where the register is (defineLocal(), from the settings), calls
// DataModuleCreate() and hands it to the main window, which passes it
// on to every window in their Contexto; the constructor also sets the global
// dmNorvelCheque to the new object and the destructor clears it.
// DataModuleCreate() connects and opens the six start lists in order; a
// failure throws norvel::db::DbError once (the shell reports it) and the
// lists after the failing step stay closed. The connection and the
// transaction stay open for the whole run; nothing needs closing at the end.
// A connection that could not be made or was lost (a server stopped, the
// network cut) is made again by the next action, which first reads anew the
// lists left closed or stale (see DbConnection.h).
// The embedded engine is shut down at exit (norvel::db::Client::shutdown() in
// FbClient.h may run it earlier, once the module is gone).
//
// Reading. Every list is a norvel::db::DbQuery, a QAbstractTableModel with the
// display labels and hidden fields already set: bind a view to it directly
// (view->setModel(&dm.ListaBancos)). Windows run the searches through the
// typed calls (consultaChequesPorData(), ...) and read a row as a record
// (chequeDaLinha(), bancoDaLinha(), ...); the query itself reads a row by
// name: dm.ListaBancos.value(row, "NUMBANCO").toString(), and takes its
// parameters by position or name: ConsultaChequesData.setParam(0, date).
//
// Writing. Windows write through the typed calls (insereCheque(),
// insereCadastro(), ...), each of which goes through gravar():
//   auto r = dm.gravar(dm.spInsereCentroCusto, {{"NOMECENTROCUSTO", nome}},
//                      QStringLiteral("Erro ao tentar salvar dados: "),
//                      {&dm.ListaCentroCustos});
//   if (!r) messages().show(...r.message...);          // prefix + database text
//   if (r.sqlCode == norvel::db::DbError::ForeignKeyViolation) ...   // -530
//   int id = dm.spInsereCentroCusto.output("IDCENTROCUSTO").toInt();
// Inputs take an invalid QVariant() for NULL, QDate for dates, int for keys and
// flags (-1 / 0), QString for text ("0" for STATUS is fine: the database
// converts it). A cheque or series without a print date is stored with the
// date 30.12.1899, which the lists read as "Não Impresso" and the grids show
// empty; one without cost centre or clearing type is stored against key 1.
//
// Tests. The database file is the directory of the running executable plus
// "base.fdb". A test points the module elsewhere, before DataModuleCreate(),
// with setDatabaseDirectoryForTests(); norvel::db::TestDatabase (TestDatabase.h)
// makes a fresh database from the creation script in a temporary directory and
// sets that hook.

#include "DbConnection.h"
#include "DbError.h"
#include "DbQuery.h"
#include "DbStoredProc.h"
#include "LocalBase.h"
#include "Registros.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

// Outcome of one write through the write pattern.
struct WriteResult {
    bool ok = true;
    QString message;   // the caller's prefix followed by the database's message
    int sqlCode = 0;   // the database's SQL code (-530 foreign key), 0 when ok
    int chave = 0;     // the key a typed insert call made, 0 otherwise
    explicit operator bool() const { return ok; }
};

using ProcInputs = QList<std::pair<QString, QVariant>>;

// The three registries of a name and its key.
enum class Cadastro { Favorecido, CentroCusto, Compensacao };

class TdmNorvelCheque {
public:
    TdmNorvelCheque();
    ~TdmNorvelCheque();
    TdmNorvelCheque(const TdmNorvelCheque&) = delete;
    TdmNorvelCheque& operator=(const TdmNorvelCheque&) = delete;

    // Sets the file beside the executable, connects, opens ListaBancos,
    // ListaBancos2, ListaCentroCustos, ListaCompensacao, ListaCheques and
    // ListaFavorecidos in this order. Throws norvel::db::DbError.
    void DataModuleCreate();

    // Where DataModuleCreate() finds the register: the embedded file (the
    // default) or a server database, set before it.
    void defineLocal(const norvel::db::LocalBase& local) { local_ = local; }

    // The write pattern: start the transaction if it is not active, set the
    // inputs by name (every input of the procedure, each time: values of an
    // earlier call are dropped), execute, commit retaining, close and reopen
    // the lists.
    // On any error: roll back retaining and return prefixo + the database's
    // message with its SQL code; the lists stay as they were. Never throws.
    WriteResult gravar(norvel::db::DbStoredProc& sp, const ProcInputs& entradas,
                       const QString& prefixo, const QList<norvel::db::DbQuery*>& listas = {});

    // Typed calls: each runs its procedure through gravar() with every input
    // set, NULL for a missing choice or print date, and reopens the lists
    // that show its table (the bank lists after a bank change, ListaCheques
    // after a cheque change). prefixo heads the message of a failure. An
    // insert returns the new key in WriteResult::chave.
    WriteResult insereCheque(const RegistroCheque& cheque, const QString& prefixo);
    WriteResult marcaChequeImpresso(int idCheque, const QDate& data, const QString& prefixo);
    WriteResult cancelaCheque(int idCheque, const QString& prefixo);
    WriteResult inserePreDatado(const RegistroPreDatado& serie, const QString& prefixo);
    WriteResult marcaPreDatadoImpresso(int idPreDatado, const QDate& data, const QString& prefixo);
    WriteResult cancelaPreDatado(int idPreDatado, const QString& prefixo);
    WriteResult insereBanco(const RegistroBanco& banco, const QString& prefixo);
    // Rewrites the bank named by banco.idBanco.
    WriteResult salvaBanco(const RegistroBanco& banco, const QString& prefixo);
    WriteResult apagaBanco(int idBanco, const QString& prefixo);

    // A payee, cost centre or clearing type added by its name, or deleted by
    // its key; either reopens the registry's list.
    WriteResult insereCadastro(Cadastro cadastro, const QString& nome, const QString& prefixo);
    WriteResult apagaCadastro(Cadastro cadastro, int chave, const QString& prefixo);
    // The registry's list: ListaFavorecidos, ListaCentroCustos or
    // ListaCompensacao.
    norvel::db::DbQuery& listaDe(Cadastro cadastro);
    // The key of the row linha of the registry's list.
    int chaveDaLinha(Cadastro cadastro, int linha);

    // The query window's searches: the single cheques issued on one date, or
    // within a period (both days included; a start after the end lists
    // nothing). Each runs its query anew, points dsConsultaCheques at it,
    // closes the other one and returns it for a grid to bind. The rows
    // arrive as the grid asks for them: value() reads those fetched so far,
    // a report fetches the rest. Throws DbError.
    norvel::db::DbQuery& consultaChequesPorData(const QDate& data);
    norvel::db::DbQuery& consultaChequesPorPeriodo(const QDate& inicial, const QDate& final);
    // The same for the post-dated series, by their first date, with
    // dsConsultaPreDatados.
    norvel::db::DbQuery& consultaPreDatadosPorData(const QDate& data);
    norvel::db::DbQuery& consultaPreDatadosPorPeriodo(const QDate& inicial, const QDate& final);

    // The row linha of ListaBancos (a query with every field of BANCOS).
    static RegistroBanco bancoDaLinha(const norvel::db::DbQuery& consulta, int linha);
    // The bank of ListaBancos that holds the number, fetching as needed.
    std::optional<RegistroBanco> bancoDoNumero(const QString& numero);
    // Whether a bank holds the number in the database at the call (spConsultaBanco),
    // whatever ListaBancos last read. Throws DbError.
    bool bancoCadastrado(const QString& numero);

    // The row linha of an open cheque query (ConsultaChequesData,
    // ConsultaChequesPeriodo, ListaCheques) or series query
    // (ConsultaPredatadoData, ConsultaPredatadoPeriodo, listaPreDatados).
    // A NULL text reads as empty, a NULL key as none; a flag is set only
    // when it holds exactly -1. Throws DbError for a query without the
    // fields, or a VALOR that is no amount text.
    static RegistroCheque chequeDaLinha(const norvel::db::DbQuery& consulta, int linha);
    static RegistroPreDatado preDatadoDaLinha(const norvel::db::DbQuery& consulta, int linha);

    // Row filter of ListaBancos2: passes when FiltroBanco is empty or occurs
    // anywhere in the row's NUMBANCO (case-sensitive). Screens change
    // FiltroBanco and then call ListaBancos2.reopen().
    bool ListaBancos2FilterRecord(const norvel::db::DbRecord& record) const;
    QString FiltroBanco;

    // Test-only: the directory whose "base.fdb" DataModuleCreate() opens
    // instead of the executable's. Empty restores the default.
    static void setDatabaseDirectoryForTests(const QString& directory);
    // The directory DataModuleCreate() uses, with its trailing separator:
    // beside the executable, or for an installed program the user's data
    // folder, where its register is made from the packaged empty one.
    static QString databaseDirectory();

    norvel::db::DbConnection ibBaseDados;
    norvel::db::DbTransaction ibTransacao;

    norvel::db::DbQuery ListaBancos;
    norvel::db::DbQuery ListaBancos2;
    norvel::db::DbQuery ListaCentroCustos;
    norvel::db::DbQuery ListaCompensacao;
    norvel::db::DbQuery ListaFavorecidos;
    norvel::db::DbQuery ListaCheques;
    norvel::db::DbQuery listaPreDatados;
    norvel::db::DbQuery ConsultaChequesData;
    norvel::db::DbQuery ConsultaChequesPeriodo;
    norvel::db::DbQuery ConsultaPredatadoData;
    norvel::db::DbQuery ConsultaPredatadoPeriodo;
    norvel::db::DbQuery spConsultaBanco;

    // Data sources the query screens switch between the by-date and the
    // by-period query; both point at the by-date query at creation.
    norvel::db::DbQuery* dsConsultaCheques = &ConsultaChequesData;
    norvel::db::DbQuery* dsConsultaPreDatados = &ConsultaPredatadoData;

    norvel::db::DbStoredProc spInsereBanco;
    norvel::db::DbStoredProc spSalvarBanco;
    norvel::db::DbStoredProc spApagaBanco;
    norvel::db::DbStoredProc spInsereCentroCusto;
    norvel::db::DbStoredProc spApagaCentroCusto;
    norvel::db::DbStoredProc spInsereCompensacao;
    norvel::db::DbStoredProc spApagaCompensacao;
    norvel::db::DbStoredProc spInsereFavorecido;
    norvel::db::DbStoredProc spApagaFavorecido;
    norvel::db::DbStoredProc spInsereCheque;
    norvel::db::DbStoredProc spImprimeCheque;
    norvel::db::DbStoredProc spCancelarCheque;
    norvel::db::DbStoredProc spInserePredatado;
    norvel::db::DbStoredProc spImprimePredatado;
    norvel::db::DbStoredProc spCancelarPredatado;
    norvel::db::DbStoredProc spSalvaCheque;
    norvel::db::DbStoredProc spSalvaPredatado;
    norvel::db::DbStoredProc spApagaCheque;
    norvel::db::DbStoredProc spApagaPredatado;

    // The rows a search fetches when it runs, and ListaCheques when it opens:
    // more than a grid shows on its first screen.
    static constexpr int PrimeiraTela = 100;

private:
    // Opens the start lists that are closed (a start that failed) and reads
    // anew every list left open on a lost connection: the first step of each
    // action, so that the one after a server came back works, attaching anew.
    void abreListas();
    // Runs escolhida with the dates as its parameters, in order, points the
    // data source fonte at it and closes outra.
    norvel::db::DbQuery& consulta(norvel::db::DbQuery& escolhida, norvel::db::DbQuery& outra,
                                  norvel::db::DbQuery*& fonte, const QVariantList& datas);

    norvel::db::LocalBase local_;
};

// The one instance, set while a TdmNorvelCheque exists.
extern TdmNorvelCheque* dmNorvelCheque;
