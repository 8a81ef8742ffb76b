// Build step: makes <bin>/base.fdb from the creation script when it is missing.
// An existing file is kept as it is, whatever the current script says.
// With --restaura, the technician's way back from a safe copy to a register.
#include "CopiaSeguranca.h"
#include "DatabaseScript.h"
#include "DbError.h"
#include "FbClient.h"
#include "LocalBase.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

// An option is never a file name: "--help" would otherwise become a database
// of that name. A file that starts with "-" is named "./-...".
bool nomeDeArquivo(const char* argumento)
{
    return argumento[0] != '-' && argumento[0] != '\0';
}

int restaura(const char* copia, const char* destino)
{
    int rc = 0;
    try {
        norvel::db::restauraCopia(QFile::decodeName(copia), QFile::decodeName(destino));
        std::printf("Restaurada a cópia %s em %s\n", copia, destino);
    } catch (const norvel::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        rc = 1;
    }
    norvel::db::Client::shutdown();
    return rc;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--restaura") == 0 && nomeDeArquivo(argv[2]) && nomeDeArquivo(argv[3]))
        return restaura(argv[2], argv[3]);
    const bool pedeAjuda = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (argc != 2 || pedeAjuda || !nomeDeArquivo(argv[1])) {
        std::fprintf(pedeAjuda ? stdout : stderr,
                     "uso: %s <arquivo.fdb>\n"
                     "     %s --restaura <cópia.fbk> <arquivo.fdb>\n"
                     "     ISC_USER=<usuário> ISC_PASSWORD=<senha> %s <servidor>[/<porta>]:<arquivo.fdb>\n"
                     "Cria o banco de dados pelo script do programa quando o arquivo não existe;\n"
                     "um arquivo existente nunca é alterado. Com o nome de um banco num servidor\n"
                     "Firebird, cria-o no servidor com o usuário e a senha de ISC_USER e ISC_PASSWORD\n"
                     "(o servidor recusa um arquivo que já existe).\n"
                     "Com --restaura, restaura uma cópia de segurança do banco de dados (as cópias\n"
                     "diárias do programa ficam em ~/.local/share/norvelcheque/copias) num arquivo\n"
                     "novo; um arquivo existente nunca é substituído.\n",
                     argv[0], argv[0], argv[0]);
        return pedeAjuda ? 0 : 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    const bool servidor = norvel::db::LocalBase::ehNomeDeServidor(path);
    if (!servidor && QFile::exists(path))
        return 0;
    int rc = 0;
    try {
        norvel::db::createDatabase(path, norvel::db::Durability::Durable,
                                   servidor ? norvel::db::LocalBase::servidor(path, qEnvironmentVariable("ISC_USER"),
                                                                              qEnvironmentVariable("ISC_PASSWORD"))
                                                  .parametros()
                                            : norvel::db::baseConnectionParams());
        std::printf("Criado %s\n", argv[1]);
    } catch (const norvel::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        rc = 1;
    }
    norvel::db::Client::shutdown();
    return rc;
}
