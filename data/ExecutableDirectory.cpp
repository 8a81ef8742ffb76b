#include "ExecutableDirectory.h"

#include <QDir>
#include <QFileInfo>

namespace norvel::db {

QString executableDirectory()
{
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QDir(QFileInfo(exe.canonicalFilePath()).absolutePath()).absolutePath() + QLatin1Char('/');
}

} // namespace norvel::db
