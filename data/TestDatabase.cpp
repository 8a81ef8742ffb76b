#include "TestDatabase.h"

#include "DatabaseScript.h"
#include "DbError.h"
#include "uDMNorvelCheque.h"

namespace norvel::db {

TestDatabase::TestDatabase() : dir_(QDir::tempPath() + QStringLiteral("/norvel-base-XXXXXX"))
{
    if (!dir_.isValid())
        throw DbError(QStringLiteral("Não foi possível criar o diretório temporário: %1").arg(dir_.errorString()));
    createDatabase(path(), Durability::Scratch);
    TdmNorvelCheque::setDatabaseDirectoryForTests(directory());
}

TestDatabase::~TestDatabase()
{
    TdmNorvelCheque::setDatabaseDirectoryForTests({});
}

QString TestDatabase::directory() const
{
    return dir_.path() + QLatin1Char('/');
}

QString TestDatabase::path() const
{
    return directory() + QStringLiteral("base.fdb");
}

} // namespace norvel::db
