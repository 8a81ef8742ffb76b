#include "PrintArchive.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

PrintArchive::PrintArchive(QString folder)
    : folder_(std::move(folder))
{
}

bool PrintArchive::prepare(QString* error)
{
    if (!QDir().mkpath(folder_)) {
        *error = QStringLiteral("cannot create the output folder %1").arg(folder_);
        return false;
    }
    return true;
}

int PrintArchive::nextNumber(const QString& prefix) const
{
    const QRegularExpression pattern(QStringLiteral("^%1-(\\d+)\\.(txt|png)$").arg(prefix));
    int highest = 0;
    for (const QString& name : QDir(folder_).entryList(QDir::Files)) {
        const auto match = pattern.match(name);
        if (match.hasMatch())
            highest = std::max(highest, match.captured(1).toInt());
    }
    return highest + 1;
}

std::optional<PrintArchive::Saved> PrintArchive::save(const PrintedPage& page, const QImage& image, QString* error)
{
    const QString prefix = page.kind == PrintedPage::Kind::Cheque ? QStringLiteral("cheque") : QStringLiteral("document");
    // The folder is counted once and then whenever the next name is taken
    // (someone copied files in): a page is never overwritten, and thousands
    // of pages do not mean thousands of folder listings.
    auto named = [&](int number) {
        const QString base = QDir(folder_).filePath(QStringLiteral("%1-%2").arg(prefix).arg(number, 4, 10, QLatin1Char('0')));
        return Saved{base + QStringLiteral(".txt"), base + QStringLiteral(".png")};
    };
    int& next = next_[prefix];
    if (next == 0 || QFile::exists(named(next).textPath) || QFile::exists(named(next).imagePath))
        next = nextNumber(prefix);
    const Saved saved = named(next++);

    QSaveFile text(saved.textPath);
    if (!text.open(QIODevice::WriteOnly)) {
        *error = text.errorString();
        return std::nullopt;
    }
    for (const QString& line : page.lines)
        text.write((line + QLatin1Char('\n')).toUtf8());
    if (!text.commit()) {
        *error = text.errorString();
        return std::nullopt;
    }
    if (!image.save(saved.imagePath, "PNG")) {
        *error = QStringLiteral("cannot write %1").arg(saved.imagePath);
        return std::nullopt;
    }
    return saved;
}
