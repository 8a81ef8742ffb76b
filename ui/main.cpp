#include "NorvelApplication.h"
#include "QtMessagePresenter.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QScreen>

#include <exception>

int main(int argc, char *argv[])
{
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

    // Where no window manager maximises (a bare X server), the window still
    // covers the screen.
    principal.setGeometry(principal.screen()->availableGeometry());
    principal.showMaximized();
    return aplicacao.exec();
}
