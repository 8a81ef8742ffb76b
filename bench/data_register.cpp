// The register at ten years' size: 1,000,000 cheques, 100,000 post-dated
// series and 500 banks. Each figure is the median of repeated runs; the
// query window runs on the offscreen platform.
//   data_register_bench [repetitions]
#include "DatabaseScript.h"
#include "FbClient.h"
#include "TestDatabase.h"
#include "uConsultaPreDatado.h"
#include "uConsultas.h"
#include "uDMNorvelCheque.h"

#include <QApplication>
#include <QDate>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace db = norvel::db;

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

void fill(const QString& path)
{
    db::Attachment att = db::Attachment::attach(path, db::baseConnectionParams(), 3);
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
    db::Attachment::attach(path, db::baseConnectionParams(), 3, db::ForcedWrites::On).detach();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    db::TestDatabase base;
    const auto fillStart = std::chrono::steady_clock::now();
    fill(base.path());
    std::printf("filled %d cheques, %d series, %d banks in %.1f s (not measured)\n", Cheques, Series, Banks,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());

    const double create = medianMs(runs, [] {
        TdmNorvelCheque dm;
        dm.DataModuleCreate();
    });

    TdmNorvelCheque dm;
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
    int passing = 0;
    const double filter = medianMs(runs, [&] {
        dm.FiltroBanco = QStringLiteral("23");
        dm.ListaBancos2.reopen();
        passing = dm.ListaBancos2.rowCount();
    });

    const double listReopen = medianMs(runs, [&] { dm.ListaCheques.reopen(); });

    int seriesRows = 0;
    const double seriesMonth = medianMs(runs, [&] {
        seriesRows = dm.consultaPreDatadosPorPeriodo(QDate(2021, 6, 1), QDate(2021, 6, 30)).rowCount();
    });

    // The query windows' first rows for one month: the search run by
    // "Atualizar Consulta" and the grid bound to its result and drawn.
    Contexto contexto;
    contexto.dados = &dm;
    const auto firstRows = [&](QWidget& window, const QString& grid, int& rows) {
        window.show();
        window.findChild<QRadioButton*>(QStringLiteral("rdPeriodo"))->click();
        window.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataInicial"))->setDate(QDate(2021, 6, 1));
        window.findChild<QDateTimeEdit*>(QStringLiteral("dtpDataFinal"))->setDate(QDate(2021, 6, 30));
        auto* atualizar = window.findChild<QPushButton*>(QStringLiteral("btAtualizarConsulta"));
        auto* grade = window.findChild<QTableView*>(grid);
        const double ms = medianMs(runs, [&] {
            atualizar->click();
            QCoreApplication::processEvents();
            rows = grade->model()->rowCount();
        });
        // Hidden, not closed: a closed window deletes itself, and these live
        // on the stack.
        window.hide();
        return ms;
    };
    TfrmConsultas consultas(contexto);
    int windowRows = 0;
    const double window = firstRows(consultas, QStringLiteral("grdCheques"), windowRows);
    // The same month of post-dated series: about 820.
    TfrmConsultaPreDatado preDatados(contexto);
    int seriesWindowRows = 0;
    const double seriesWindow = firstRows(preDatados, QStringLiteral("grdPreDatados"), seriesWindowRows);

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
    std::printf("ConsultaChequesPeriodo, one month, first %d   %9.1f ms\n", monthRows, byMonth);
    std::printf("bank filter \"23\" over %d banks (%d pass)     %9.1f ms\n", Banks, passing, filter);
    std::printf("ListaCheques reopened (first 1000 rows)       %9.1f ms\n", listReopen);
    std::printf("query window, one month, first %d rows      %9.1f ms\n", windowRows, window);
    std::printf("ConsultaPredatadoPeriodo, one month, first %d  %9.1f ms\n", seriesRows, seriesMonth);
    std::printf("post-dated query window, one month, first %d rows %6.1f ms\n", seriesWindowRows, seriesWindow);
    std::printf("insereCheque (write pattern + ListaCheques)    %9.0f inserts/s\n", withList);
    if (failed)
        std::printf("%d inserts failed\n", failed);
    return failed ? 1 : 0;
}
