#pragma once

#include "Relatorio.h"
#include "SyntheticCheques.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Text of a PDF in its layout, through pdftotext.
inline QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One field of pdfinfo ("Pages", "Title").
inline QString pdfInfo(const QString &path, const QString &field)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(60000);
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(field + u':'))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

inline QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Rows of an HTML report's table body.
inline int htmlRows(const QString &html)
{
    const qsizetype from = html.indexOf(QStringLiteral("<tbody>"));
    const qsizetype to = html.indexOf(QStringLiteral("</tbody>"));
    return from < 0 || to < 0 ? -1 : int(html.mid(from, to - from).count(QStringLiteral("<tr>")));
}

inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}
