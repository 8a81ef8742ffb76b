#include "PrinterLog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

bool PrinterLog::open(const QString& path, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = file_.errorString();
        return false;
    }
    return true;
}

void PrinterLog::write(const QString& line)
{
    const QByteArray text = (QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                             + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8();
    if (file_.isOpen()) {
        file_.write(text);
        file_.flush();
    }
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
}
