// Build step: makes <bin>/base.fdb from the creation script when it is missing.
// An existing file is kept as it is, whatever the script says now.
#include "DatabaseScript.h"
#include "DbError.h"
#include "FbClient.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s <arquivo.fdb>\n", argv[0]);
        return 2;
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
