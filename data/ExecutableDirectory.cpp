#include "ExecutableDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace norvel::db {

QString executableDirectory()
{
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QDir(QFileInfo(exe.canonicalFilePath()).absolutePath()).absolutePath() + QLatin1Char('/');
}

QString pastaDadosUsuario()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/norvelcheque");
}

} // namespace norvel::db
