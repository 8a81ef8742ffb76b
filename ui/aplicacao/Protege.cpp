#include "Protege.h"

#include "DbError.h"
#include "NorvelApplication.h"

#include <exception>

bool executaProtegido(const std::function<void()> &tratador)
{
    try {
        tratador();
        return true;
    } catch (const norvel::db::DbError &erro) {
        NorvelApplication::relataErro(erro.message());
    } catch (const std::exception &erro) {
        NorvelApplication::relataErro(QString::fromUtf8(erro.what()));
    }
    return false;
}
