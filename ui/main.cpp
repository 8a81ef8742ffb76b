#include "CopiaAoFechar.h"
#include "NorvelApplication.h"
#include "QuitOnSignal.h"
#include "QtMessagePresenter.h"
#include "uConfiguracoes.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QScreen>

#include <exception>

int main(int argc, char *argv[])
{
    // Before any thread starts (the database engine's among them).
    QuitOnSignal::holdSignals();
    NorvelApplication aplicacao(argc, argv);
    // Listening before anything can show a box: a start-up message waits in
    // a loop of its own, and the program must still end on SIGINT and
    // SIGTERM then (the database engine would take them and go on), closing
    // the database on the way out and without the exit question.
    bool encerrado = false;
    QuitOnSignal sinais;
    QObject::connect(&sinais, &QuitOnSignal::signalled, &aplicacao, [&encerrado] {
        encerrado = true;
        QCoreApplication::exit(0);
    });
    QtMessagePresenter caixas;

    TfrmPrincipal principal;
    if (encerrado)
        return 0;
    TdmNorvelCheque dados;
    // A database that cannot be reached is reported once; the program starts
    // all the same and each later database action tries again (a server back
    // meanwhile) or reports its own failure. A location in the settings that
    // cannot be used leaves the program without a register, never on the
    // embedded one instead.
    try {
        dados.defineLocal(LeLocalBase());
        dados.DataModuleCreate();
    } catch (const std::exception &erro) {
        if (!encerrado)
            NorvelApplication::relataErro(QString::fromUtf8(erro.what()));
    }
    // exit() ends only the loops already running; the main one is not yet.
    if (encerrado)
        return 0;
    principal.defineDados(dados);

    // Where no window manager maximises (a bare X server), the window still
    // covers the screen.
    principal.setGeometry(principal.screen()->availableGeometry());
    principal.showMaximized();
    const int saida = aplicacao.exec();
    // A session that ends (SIGTERM) gives no time for the day's copy.
    if (!encerrado)
        copiaAoFechar(dados);
    return saida;
}
