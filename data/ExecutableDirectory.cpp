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

QString baseVaziaInstalada()
{
    return executableDirectory() + QStringLiteral("base-vazia.fdb");
}

bool programaInstalado()
{
    return QFileInfo::exists(baseVaziaInstalada()) && !QFileInfo::exists(executableDirectory() + QStringLiteral("base.fdb"));
}

} // namespace norvel::db
