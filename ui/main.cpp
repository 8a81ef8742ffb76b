#include "NorvelApplication.h"
#include "QuitOnSignal.h"
#include "QtMessagePresenter.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QScreen>

#include <exception>

int main(int argc, char *argv[])
{
    // Before any thread starts (the database engine's among them).
    QuitOnSignal::holdSignals();
    NorvelApplication aplicacao(argc, argv);
    QtMessagePresenter caixas;

    TfrmPrincipal principal;
    TdmNorvelCheque dados;
    // A database that cannot be reached is reported once; the program starts
    // all the same and each later database action reports its own failure.
    try {
        dados.DataModuleCreate();
    } catch (const std::exception &erro) {
        NorvelApplication::relataErro(QString::fromUtf8(erro.what()));
    }
    // The database engine would take SIGINT and SIGTERM and go on. A session
    // that ends must still stop the program, closing the database on the way
    // out, and without the exit question.
    QuitOnSignal sinais;
    QObject::connect(&sinais, &QuitOnSignal::signalled, &aplicacao, [] { QCoreApplication::exit(0); });

    // Where no window manager maximises (a bare X server), the window still
    // covers the screen.
    principal.setGeometry(principal.screen()->availableGeometry());
    principal.showMaximized();
    return aplicacao.exec();
}
