#include "LayoutStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

LayoutStore::LayoutStore(QString filePath)
    : path_(std::move(filePath))
{
}

bool LayoutStore::load(QString* error, int* skippedLines)
{
    int skipped = 0;
    QFile file(path_);
    if (!file.exists()) {
        if (skippedLines)
            *skippedLines = 0;
        return true;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        bool numberOk = false;
        const int bank = equals == 3 ? line.left(3).toInt(&numberOk) : -1;
        const QByteArray digits = line.mid(equals + 1);
        const auto layout = ChequeLayout::fromDigits(std::string_view(digits.constData(), digits.size()));
        if (!numberOk || bank < 0 || !layout) {
            ++skipped;
            continue;
        }
        layouts_.insert_or_assign(bank, *layout);
    }
    if (skippedLines)
        *skippedLines = skipped;
    return true;
}

bool LayoutStore::put(int bank, const ChequeLayout& layout, QString* error)
{
    layouts_.insert_or_assign(bank, layout);
    return save(error);
}

std::optional<ChequeLayout> LayoutStore::find(int bank) const
{
    const auto it = layouts_.find(bank);
    if (it == layouts_.end())
        return std::nullopt;
    return it->second;
}

bool LayoutStore::save(QString* error) const
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    file.write("# bank=layout, as programmed into the virtual cheque printer\n");
    for (const auto& [bank, layout] : layouts_)
        file.write(QStringLiteral("%1=%2\n").arg(bank, 3, 10, QLatin1Char('0')).arg(QString::fromStdString(layout.digits())).toLatin1());
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
