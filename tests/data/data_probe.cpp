// A small program over the data module for the process tests. It opens the
// "base.fdb" beside its own executable, like the real program.
//   data_probe where     prints the database file and the number of banks
//   data_probe write N   inserts N cheques of bank 1 through the write pattern
#include "uDMNorvelCheque.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    TdmNorvelCheque dm;
    try {
        dm.DataModuleCreate();
    } catch (const norvel::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (args.value(1) == QLatin1String("where")) {
        std::printf("%s\n%d\n", qPrintable(dm.ibBaseDados.databaseName), dm.ListaBancos.rowCount());
        return 0;
    }
    const int count = args.value(2).toInt();
    RegistroCheque cheque;
    cheque.idBanco = 1;
    cheque.agencia = QStringLiteral("1");
    cheque.conta = QStringLiteral("2");
    cheque.dataEmissao = QDate(2026, 1, 2);
    cheque.favorecido = QStringLiteral("Processo %1").arg(app.applicationPid());
    cheque.cidade = QStringLiteral("São Paulo");
    cheque.valor = Money::fromCentavos(100);
    for (int i = 0; i < count; ++i) {
        cheque.numCheque = QString::number(i);
        const WriteResult r = dm.insereCheque(cheque, QStringLiteral("Erro ao tentar salvar dados: "));
        if (!r) {
            std::fprintf(stderr, "%s\n", qPrintable(r.message));
            return 1;
        }
    }
    return 0;
}
