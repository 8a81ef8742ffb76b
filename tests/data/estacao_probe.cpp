// A clerk's workstation for the server tests: the data module on the register
// the user's settings name, read as the program reads them, and one command
// a line on standard input, each answered by lines ending in "fim" (a
// failure: "erro <message>"):
//   escreve N NOME      N cheques and N series of bank 1 for NOME
//                       ("cheque <key>", "serie <key>")
//   imprime KEY         marks series KEY printed
//   consulta            the year's cheques and series as the query windows'
//                       "Atualizar Consulta" reads them ("cheque <key>
//                       <payee>", "serie <key> <payee> <printed: 0/1>")
// A register that cannot be opened: its message on standard error, exit 1.
#include "uConfiguracoes.h"
#include "uDMNorvelCheque.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

#include <cstdio>

namespace {

const QString Prefixo = QStringLiteral("Erro ao tentar salvar dados: ");

RegistroCheque chequeDe(const QString& favorecido, int numero)
{
    RegistroCheque cheque;
    cheque.idBanco = 1;
    cheque.agencia = QStringLiteral("1");
    cheque.conta = QStringLiteral("2");
    cheque.numCheque = QString::number(numero);
    cheque.dataEmissao = QDate(2026, 1, 2).addDays(numero % 300);
    cheque.favorecido = favorecido;
    cheque.cidade = QStringLiteral("São Paulo");
    cheque.valor = Money::fromCentavos(100 + numero);
    return cheque;
}

// One command of a workstation; false when it failed.
bool executa(TdmNorvelCheque& dm, const QStringList& comando, QTextStream& saida)
{
    const auto falhou = [&](const QString& mensagem) {
        saida << "erro " << QString(mensagem).replace(QLatin1Char('\n'), QLatin1Char(' ')) << '\n';
        return false;
    };
    if (comando.value(0) == QLatin1String("escreve")) {
        const QString nome = comando.value(2);
        for (int i = 0; i < comando.value(1).toInt(); ++i) {
            const RegistroCheque cheque = chequeDe(nome, i);
            WriteResult r = dm.insereCheque(cheque, Prefixo);
            if (!r)
                return falhou(r.message);
            saida << "cheque " << r.chave << '\n';
            RegistroPreDatado serie;
            serie.idBanco = 1;
            serie.agencia = cheque.agencia;
            serie.conta = cheque.conta;
            serie.numInicialCheque = cheque.numCheque;
            serie.dataInicialEmissao = cheque.dataEmissao;
            serie.favorecido = nome;
            serie.cidade = cheque.cidade;
            serie.valor = cheque.valor;
            serie.numParcelas = 3;
            serie.valorPeriodoImpressao = 1;
            serie.periodoImpressao = QStringLiteral("Mês(es)");
            r = dm.inserePreDatado(serie, Prefixo);
            if (!r)
                return falhou(r.message);
            saida << "serie " << r.chave << '\n';
        }
    } else if (comando.value(0) == QLatin1String("imprime")) {
        const WriteResult r = dm.marcaPreDatadoImpresso(comando.value(1).toInt(), QDate(2026, 3, 10), Prefixo);
        if (!r)
            return falhou(r.message);
    } else if (comando.value(0) == QLatin1String("consulta")) {
        try {
            const QDate inicio(2026, 1, 1);
            const QDate fim(2026, 12, 31);
            norvel::db::DbQuery& cheques = dm.consultaChequesPorPeriodo(inicio, fim);
            cheques.fetchAll();
            for (int r = 0; r < cheques.rowCount(); ++r) {
                const RegistroCheque c = TdmNorvelCheque::chequeDaLinha(cheques, r);
                saida << "cheque " << c.idCheque << ' ' << c.favorecido << '\n';
            }
            norvel::db::DbQuery& series = dm.consultaPreDatadosPorPeriodo(inicio, fim);
            series.fetchAll();
            for (int r = 0; r < series.rowCount(); ++r) {
                const RegistroPreDatado s = TdmNorvelCheque::preDatadoDaLinha(series, r);
                saida << "serie " << s.idPreDatado << ' ' << s.favorecido << ' ' << int(s.jaImpresso) << '\n';
            }
        } catch (const norvel::db::DbError& e) {
            return falhou(e.message());
        }
    } else {
        return falhou(QStringLiteral("comando desconhecido: ") + comando.join(QLatin1Char(' ')));
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TdmNorvelCheque dm;
    try {
        dm.defineLocal(LeLocalBase());
        dm.DataModuleCreate();
    } catch (const norvel::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    QTextStream entrada(stdin);
    QTextStream saida(stdout);
    QString linha;
    while (entrada.readLineInto(&linha)) {
        executa(dm, linha.split(QLatin1Char(' '), Qt::SkipEmptyParts), saida);
        saida << "fim" << Qt::endl;
    }
    return 0;
}
