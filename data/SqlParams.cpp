#include "SqlParams.h"

namespace norvel::db {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

PositionalSql toPositional(const QString& sql)
{
    PositionalSql out;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Quoted text and names pass unchanged (a doubled quote stays inside).
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n - 1 : end;
            out.text += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? n - 1 : end;
            out.text += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n - 1 : end + 1;
            out.text += sql.mid(i, stop - i + 1);
            i = stop;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameChar(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1);
            out.text += QLatin1Char('?');
            i = j - 1;
        } else {
            out.text += c;
        }
    }
    // The client API refuses a statement terminator.
    while (out.text.endsWith(QLatin1Char(';')) || (!out.text.isEmpty() && out.text.back().isSpace()))
        out.text.chop(1);
    return out;
}

} // namespace norvel::db
