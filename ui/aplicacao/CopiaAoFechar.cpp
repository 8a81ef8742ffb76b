#include "CopiaAoFechar.h"

#include "CopiaSeguranca.h"
#include "MessagePresenter.h"
#include "TituloPrograma.h"
#include "uDMNorvelCheque.h"

void copiaAoFechar(const TdmNorvelCheque &dados)
{
    // Without a register (its location in the settings refused at start, and
    // said so then) there is nothing to copy.
    if (dados.ibBaseDados.databaseName.isEmpty())
        return;
    const norvel::db::CopiaDoDia copia = norvel::db::fazCopiaDoDia(
        dados.ibBaseDados.databaseName, dados.ibBaseDados.params, norvel::db::pastaCopias());
    if (copia.resultado == norvel::db::CopiaDoDia::Resultado::Falhou)
        messages().show(TituloPrograma, copia.mensagem, MessagePresenter::Icon::Warning);
}
