#include "PortMapFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

namespace {

const QLatin1String kSection("Portas");

bool isSectionHeader(const QString& line) { return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')); }

QString keyOf(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

} // namespace

bool isPortName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(name);
    return match.hasMatch() && match.captured(1).toInt() <= 255;
}

bool writePortMapEntry(const QString& filePath, const QString& portName, const QString& address, QString* error)
{
    if (!isPortName(portName)) {
        *error = QStringLiteral("\"%1\" is not a port name (COM1 to COM255)").arg(portName);
        return false;
    }
    QStringList lines;
    QFile existing(filePath);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly | QIODevice::Text)) {
            *error = existing.errorString();
            return false;
        }
        lines = QString::fromUtf8(existing.readAll()).split(QLatin1Char('\n'));
        existing.close();
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    }

    const QString entry = portName.toUpper() + QLatin1Char('=') + address;
    qsizetype section = -1;
    qsizetype insertAt = -1;
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        const QString line = lines[i].trimmed();
        if (isSectionHeader(line)) {
            if (section >= 0)
                break; // the next section begins
            if (line.mid(1, line.size() - 2).trimmed().compare(kSection, Qt::CaseInsensitive) == 0) {
                section = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (section < 0)
            continue;
        if (keyOf(line).compare(portName, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            replaced = true;
        } else if (!line.isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!replaced) {
        if (section >= 0) {
            lines.insert(insertAt, entry);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << QStringLiteral("[%1]").arg(kSection) << entry;
        }
    }

    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
