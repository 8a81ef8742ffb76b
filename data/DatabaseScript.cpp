#include "DatabaseScript.h"

#include "FbClient.h"
#include "FbStatement.h"
#include "LocalBase.h"

#include <QFile>
#include <QRegularExpression>

#include <optional>

namespace norvel::db {

QStringList baseConnectionParams()
{
    return {QStringLiteral("user_name=sysdba"), QStringLiteral("password=quilltorn"),
            QStringLiteral("lc_ctype=ISO8859_1")};
}

QStringList scriptStatements(const QString& script)
{
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression skipped(QStringLiteral("^(SET\\s+SQL\\s+DIALECT\\s+\\d+|COMMIT(\\s+WORK)?)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = script.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            current += script.mid(i, stop - i);
            i = stop;
        } else if (script.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (script.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (script.mid(i, terminator.size()) == terminator) {
            const QString statement = current.trimmed();
            current.clear();
            i += terminator.size();
            const auto term = setTerm.match(statement);
            if (term.hasMatch())
                terminator = term.captured(1);
            else if (!statement.isEmpty() && !skipped.match(statement).hasMatch())
                statements << statement;
        } else {
            current += c;
            ++i;
        }
    }
    if (!current.trimmed().isEmpty())
        throw DbError(QStringLiteral("Script de criação sem terminador no fim: %1").arg(current.trimmed()));
    return statements;
}

void createDatabase(const QString& path, Durability durability, const QStringList& params)
{
    // The server refuses by itself to create over an existing file.
    const bool onServer = LocalBase::ehNomeDeServidor(path);
    if (!onServer && QFile::exists(path))
        throw DbError(QStringLiteral("O arquivo %1 já existe.").arg(path));
    const QStringList statements = scriptStatements(QString::fromUtf8(creationScript()));
    std::optional<Attachment> made;
    try {
        made.emplace(Attachment::create(path, params, 3, QStringLiteral("ISO8859_1"), 8192));
        Attachment& attachment = *made;
        for (const QString& statement : statements) {
            Transaction transaction = Transaction::start(attachment);
            try {
                attachment.executeImmediate(transaction.get(), toLatin1Checked(statement));
            } catch (const DbError& e) {
                throw DbError(e.message() + QStringLiteral("\n") + statement, e.sqlCode(), e.sqlState());
            }
            transaction.commit();
        }
        attachment.detach();
        if (durability == Durability::Durable)
            Attachment::attach(path, params, 3, ForcedWrites::On).detach();
    } catch (...) {
        if (!onServer) {
            QFile::remove(path);
        } else if (made) {
            // A half-made database on the server goes the way it came.
            try {
                if (!made->get())
                    made.emplace(Attachment::attach(path, params, 3));
                made->dropDatabase();
            } catch (const DbError&) {
                // The creation's own error is the one worth reporting.
            }
        }
        throw;
    }
}

} // namespace norvel::db
