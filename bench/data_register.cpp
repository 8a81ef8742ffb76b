// The register at ten years' size: 1,000,000 cheques, 100,000 post-dated
// series and 500 banks. Each figure is the median of repeated runs; the
// query window runs on the offscreen platform. With "servidor" the register
// is on a Firebird server started on this machine (tests/support), reached
// as a workstation reaches it.
//   data_register_bench [repetitions] [servidor]
#include "DatabaseScript.h"
#include "FbClient.h"
#include "ServidorFirebird.h"
#include "TestDatabase.h"
#include "uConsultaPreDatado.h"
#include "uConsultas.h"
#include "uDMNorvelCheque.h"

#include <QApplication>
#include <QDate>
#include <QDateTimeEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace db = norvel::db;
using db::DbQuery;

namespace {

constexpr int Cheques = 1000000;
constexpr int Series = 100000;
constexpr int Banks = 500;
constexpr int Days = 3652;  // 2016-01-01 to 2025-12-31
const QDate firstDay(2016, 1, 1);

double medianMs(int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void fill(const QString& path, const QStringList& params)
{
    db::Attachment att = db::Attachment::attach(path, params, 3);
    auto run = [&](const QString& sql) {
        db::Transaction tra = db::Transaction::start(att);
        att.executeImmediate(tra.get(), sql.toLatin1());
        tra.commit();
    };
    run(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= %1) DO BEGIN "
        "INSERT INTO BANCOS (IDBANCO, NUMBANCO, NOMEBANCO, POSICOESBANCO, SIGLABANCO) VALUES "
        "(NEXT VALUE FOR GEN_BANCOS, LPAD(:i, 3, '0'), 'Banco ' || :i, '010203040506070809101112131415161718', 'B' || :i); "
        "i = i + 1; END END").arg(Banks));
    // Rows arrive in date order, as a register grows: about 274 cheques a day.
    for (int from = 0; from < Cheques; from += 100000)
        run(QStringLiteral(
            "EXECUTE BLOCK AS DECLARE i INTEGER = %1; BEGIN WHILE (i < %2) DO BEGIN "
            "INSERT INTO CHEQUES (IDCHEQUE, NUMAGENCIA, IDBANCO, IDCENTROCUSTO, NUMCHEQUE, CONTACORRENTE, DATAEMISSAO, "
            "DATAIMPRESSAO, FAVORECIDO, LOCALIDADE, VALOR, JAIMPRESSO, IMPORTADO, TERCEIRO, IDCOMPENSACAO, DESCRICAO, STATUS) "
            "VALUES (NEXT VALUE FOR GEN_CHEQUES, '1234', MOD(:i, %3) + 1, 1, :i, '56789', "
            "DATE '2016-01-01' + (CAST(:i AS BIGINT) * %4 / %5), DATE '1899-12-30', 'Favorecido ' || MOD(:i, 997), "
            "'São Paulo', '1234,56', 0, 0, 0, 1, 'Pagamento', 0); i = i + 1; END END")
                .arg(from).arg(std::min(from + 100000, Cheques)).arg(Banks).arg(Days).arg(Cheques));
    run(QStringLiteral(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < %1) DO BEGIN "
        "INSERT INTO CHEQUEPREDATADO (IDPREDATADO, NUMAGENCIA, IDBANCO, IDCENTROCUSTO, NUMINICIALCHEQUE, CONTACORRENTE, "
        "DATAINICIALEMISSAO, DATAIMPRESSAO, FAVORECIDO, LOCALIDADE, VALOR, JAIMPRESSO, IMPORTADO, TERCEIRO, IDCOMPENSACAO, "
        "NUMPARCELAS, VALORPERIODOIMPRESSAO, PERIODOIMPRESSAO, DESCRICAO, STATUS) "
        "VALUES (NEXT VALUE FOR GEN_CHEQUEPREDATADO, '1234', MOD(:i, %2) + 1, 1, :i, '56789', "
        "DATE '2016-01-01' + (CAST(:i AS BIGINT) * %3 / %1), DATE '1899-12-30', 'Favorecido', 'Maceió', '300,00', "
        "0, 0, 0, 1, 6, 1, 'Mês(es)', 'Prestações', 0); i = i + 1; END END")
            .arg(Series).arg(Banks).arg(Days));
    att.detach();
    // Measured as the program runs it: every commit on disk.
    db::Attachment::attach(path, params, 3, db::ForcedWrites::On).detach();
}

// Firebird's own client on the same file, beside the program: the elapsed
// time isql reports (SET STATS) for the statement with its rows fetched and
// printed, at most `rows` of them. Dates are written into the text. A server
// is reached through the system's client configuration, with its password.
double isqlMs(int runs, const QString& path, const QString& password, QString sql,
              const QList<std::pair<QString, QDate>>& params, int rows)
{
    for (const auto& [name, date] : params)
        sql.replace(QLatin1Char(':') + name, date.toString(QStringLiteral("''yyyy-MM-dd''")));
    QTemporaryFile script;
    if (!script.open())
        return -1;
    script.write(QStringLiteral("SET STATS ON;\nSET ROWCOUNT %1;\n%2;\n").arg(rows).arg(sql).toLatin1());
    script.flush();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess isql;
        // The engine's FIREBIRD and FIREBIRD_LOCK of this process are
        // inherited for the embedded file; its root reaches no server.
        QStringList args = {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("ISO8859_1"),
                            QStringLiteral("-u"), QStringLiteral("SYSDBA"), QStringLiteral("-i"), script.fileName(), path};
        if (db::LocalBase::ehNomeDeServidor(path)) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("FIREBIRD"));
            isql.setProcessEnvironment(env);
            args << QStringLiteral("-p") << password;
        }
        isql.start(QStringLiteral("isql-fb"), args);
        isql.waitForFinished(120000);
        const QString out = QString::fromLatin1(isql.readAllStandardOutput());
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Elapsed time\\s*=\\s*([0-9.]+)")).match(out);
        if (!m.hasMatch()) {
            std::printf("isql-fb gave no time: %s\n", qPrintable(out.left(300) + QString::fromLatin1(isql.readAllStandardError())));
            return -1;
        }
        times.push_back(m.captured(1).toDouble() * 1000);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::unique_ptr<ServidorFirebird> servidor;
    std::unique_ptr<db::TestDatabase> base;
    db::LocalBase local;
    QString path;
    QStringList params = db::baseConnectionParams();
    if (argc > 2 && QByteArray(argv[2]) == "servidor") {
        servidor = std::make_unique<ServidorFirebird>();
        local = db::LocalBase::servidor(servidor->nome(QStringLiteral("norvel.fdb")), servidor->usuario(),
                                        servidor->senha());
        path = local.nome();
        params = local.parametros();
        db::createDatabase(path, db::Durability::Scratch, params);
        std::printf("on the server %s\n", qPrintable(servidor->host()));
    } else {
        base = std::make_unique<db::TestDatabase>();
        path = base->path();
    }
    const auto fillStart = std::chrono::steady_clock::now();
    fill(path, params);
    std::printf("filled %d cheques, %d series, %d banks in %.1f s (not measured)\n", Cheques, Series, Banks,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());

    const double create = medianMs(runs, [&] {
        TdmNorvelCheque dm;
        dm.defineLocal(local);
        dm.DataModuleCreate();
    });

    TdmNorvelCheque dm;
    dm.defineLocal(local);
    dm.DataModuleCreate();
    const QDate day = firstDay.addDays(Days / 2);
    int dayRows = 0;
    const double byDate = medianMs(runs, [&] {
        dm.ConsultaChequesData.setParam(0, day);
        dm.ConsultaChequesData.reopen();
        dm.ConsultaChequesData.fetchAll();
        dayRows = dm.ConsultaChequesData.rowCount();
    });
    int monthRows = 0;
    const double byMonth = medianMs(runs, [&] {
        dm.ConsultaChequesPeriodo.setParam(0, QDate(2021, 6, 1));
        dm.ConsultaChequesPeriodo.setParam(1, QDate(2021, 6, 30));
        dm.ConsultaChequesPeriodo.reopen();
        monthRows = dm.ConsultaChequesPeriodo.rowCount();
    });
    // The typed search the query window runs: a screen's rows, the rest on
    // demand; and every row of the month, as a report reads them.
    int searchRows = 0;
    const double search = medianMs(runs, [&] {
        searchRows = dm.consultaChequesPorPeriodo(QDate(2021, 6, 1), QDate(2021, 6, 30)).rowCount();
    });
    int allRows = 0;
    const double wholeMonth = medianMs(runs, [&] {
        DbQuery& month = dm.consultaChequesPorPeriodo(QDate(2021, 6, 1), QDate(2021, 6, 30));
        month.fetchAll();
        allRows = month.rowCount();
    });
    int passing = 0;
    const double filter = medianMs(runs, [&] {
        dm.FiltroBanco = QStringLiteral("23");
        dm.ListaBancos2.reopen();
        passing = dm.ListaBancos2.rowCount();
    });

    const double listReopen = medianMs(runs, [&] { dm.ListaCheques.reopen(); });

    const QList<std::pair<QString, QDate>> dayParams = {{QStringLiteral("DataEmissao"), day}};
    const QList<std::pair<QString, QDate>> monthParams = {{QStringLiteral("DataEmissaoInicial"), QDate(2021, 6, 1)},
                                                          {QStringLiteral("DataEmissaoFinal"), QDate(2021, 6, 30)}};
    const QString password = servidor ? servidor->senha() : QString();
    const double isqlDay = isqlMs(runs, path, password, dm.ConsultaChequesData.sql(), dayParams, 1000);
    const double isqlMonth = isqlMs(runs, path, password, dm.ConsultaChequesPeriodo.sql(), monthParams, 1000);

    // The query window's first screen: the search run by "Atualizar
    // Consulta", the grid bound to its result and drawn.
    Contexto contexto;
    contexto.dados = &dm;
    TfrmConsultas consultas(contexto);
    consultas.show();
    auto* atualizar = consultas.findChild<QPushButton*>(QStringLiteral("btAtualizarConsulta"));
    auto* grade = consultas.findChild<QTableView*>(QStringLiteral("grdCheques"));
    int windowRows = 0;
    const auto firstScreen = [&] {
        atualizar->click();
        QCoreApplication::processEvents();
        windowRows = grade->model()->rowCount();
    };
    consultas.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataCheque"))->setDate(day);
    const double windowDay = medianMs(runs, firstScreen);
    const int windowDayRows = windowRows;
    consultas.findChild<QRadioButton*>(QStringLiteral("rdPeriodo"))->click();
    consultas.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataInicial"))->setDate(QDate(2021, 6, 1));
    consultas.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataFinal"))->setDate(QDate(2021, 6, 30));
    const double window = medianMs(runs, firstScreen);
    const int windowMonthRows = windowRows;
    // Hidden, not closed: a closed window deletes itself, and these live on the stack.
    consultas.hide();

    // The post-dated query window over the same month: 821 series.
    int seriesRows = 0;
    const double seriesSearch = medianMs(runs, [&] {
        seriesRows = dm.consultaPreDatadosPorPeriodo(QDate(2021, 6, 1), QDate(2021, 6, 30)).rowCount();
    });
    TfrmConsultaPreDatado preDatados(contexto);
    preDatados.show();
    atualizar = preDatados.findChild<QPushButton*>(QStringLiteral("btAtualizarConsulta"));
    grade = preDatados.findChild<QTableView*>(QStringLiteral("grdPreDatados"));
    preDatados.findChild<QRadioButton*>(QStringLiteral("rdPeriodo"))->click();
    preDatados.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataInicial"))->setDate(QDate(2021, 6, 1));
    preDatados.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataFinal"))->setDate(QDate(2021, 6, 30));
    const double seriesWindow = medianMs(runs, firstScreen);
    const int seriesWindowRows = windowRows;
    preDatados.hide();

    // The single-cheque screen's write: insert, commit, reopen ListaCheques.
    constexpr int inserts = 200;
    int failed = 0;
    RegistroCheque cheque;
    cheque.agencia = QStringLiteral("1234");
    cheque.conta = QStringLiteral("56789");
    cheque.dataEmissao = QDate::currentDate();
    cheque.favorecido = QStringLiteral("João");
    cheque.cidade = QStringLiteral("São Paulo");
    cheque.valor = Money::fromCentavos(1000);
    const double insertMs = medianMs(runs, [&] {
        for (int i = 0; i < inserts; ++i) {
            cheque.idBanco = 1 + i % Banks;
            cheque.numCheque = QString::number(i);
            failed += dm.insereCheque(cheque, QStringLiteral("Erro ao salvar os dados do cheque: ")) ? 0 : 1;
        }
    });
    const double withList = inserts * 1000.0 / insertMs;

    std::printf("median of %d runs\n", runs);
    std::printf("create data module and open the start lists   %9.1f ms\n", create);
    std::printf("ConsultaChequesData, one day (%d rows)        %9.1f ms\n", dayRows, byDate);
    std::printf("  isql-fb, the same day                        %9.1f ms\n", isqlDay);
    std::printf("ConsultaChequesPeriodo, one month, first %d   %9.1f ms\n", monthRows, byMonth);
    std::printf("  isql-fb, the same month, first 1000 rows     %9.1f ms\n", isqlMonth);
    std::printf("consultaChequesPorPeriodo, the month (%d rows) %8.1f ms\n", searchRows, search);
    std::printf("  and every row of it (%d)                    %9.1f ms\n", allRows, wholeMonth);
    std::printf("bank filter \"23\" over %d banks (%d pass)     %9.1f ms\n", Banks, passing, filter);
    std::printf("ListaCheques reopened (%d rows fetched)       %9.1f ms\n", dm.ListaCheques.rowCount(), listReopen);
    std::printf("query window, one day, first screen (%d rows)  %9.1f ms\n", windowDayRows, windowDay);
    std::printf("query window, one month, first screen (%d rows) %8.1f ms\n", windowMonthRows, window);
    std::printf("consultaPreDatadosPorPeriodo, the month (%d rows) %5.1f ms\n", seriesRows, seriesSearch);
    std::printf("post-dated query window, one month, first screen (%d rows) %5.1f ms\n", seriesWindowRows,
                seriesWindow);
    std::printf("insereCheque (write pattern + ListaCheques)    %9.0f inserts/s\n", withList);
    if (failed)
        std::printf("%d inserts failed\n", failed);
    return failed ? 1 : 0;
}
