// Build step: makes <bin>/base.fdb from the creation script when it is missing.
// An existing file is kept as it is, whatever the current script says.
#include "DatabaseScript.h"
#include "DbError.h"
#include "FbClient.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // An option is never a file name: "--help" would otherwise become a
    // database of that name. A file that starts with "-" is named "./-...".
    const bool pedeAjuda = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (argc != 2 || pedeAjuda || argv[1][0] == '-' || argv[1][0] == '\0') {
        std::fprintf(pedeAjuda ? stdout : stderr,
                     "uso: %s <arquivo.fdb>\n"
                     "Cria o banco de dados pelo script do programa quando o arquivo não existe;\n"
                     "um arquivo existente nunca é alterado.\n",
                     argv[0]);
        return pedeAjuda ? 0 : 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    if (QFile::exists(path))
        return 0;
    int rc = 0;
    try {
        norvel::db::createDatabase(path);
        std::printf("Criado %s\n", argv[1]);
    } catch (const norvel::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        rc = 1;
    }
    norvel::db::Client::shutdown();
    return rc;
}
