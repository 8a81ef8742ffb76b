#include "CopiaAoFechar.h"

#include "CopiaSeguranca.h"
#include "MessagePresenter.h"
#include "TituloPrograma.h"
#include "uDMNorvelCheque.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QTimer>

#include <chrono>
#include <future>
#include <limits>

void copiaAoFechar(const TdmNorvelCheque &dados)
{
    // Without a register (its location in the settings refused at start, and
    // said so then) there is nothing to copy.
    if (dados.ibBaseDados.databaseName.isEmpty())
        return;
    // A register of years takes seconds to copy and read back: the copy runs
    // beside the event loop, and a copy slower than half a second says why
    // the program has not ended yet.
    QProgressDialog aviso(QStringLiteral("Fazendo a cópia de segurança do banco de dados..."), QString(), 0, 0);
    aviso.setWindowTitle(TituloPrograma);
    aviso.setMinimumDuration(std::numeric_limits<int>::max());
    QTimer::singleShot(500, &aviso, &QProgressDialog::show);
    auto copia = std::async(std::launch::async, [&] {
        return norvel::db::fazCopiaDoDia(dados.ibBaseDados.databaseName, dados.ibBaseDados.params,
                                         norvel::db::pastaCopias());
    });
    while (copia.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    const norvel::db::CopiaDoDia feita = copia.get();
    aviso.reset();
    if (feita.resultado == norvel::db::CopiaDoDia::Resultado::Falhou)
        messages().show(TituloPrograma, feita.mensagem, MessagePresenter::Icon::Warning);
}
