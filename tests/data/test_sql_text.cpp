// Statement text handling that needs no database: named parameters and the
// creation script's statements.
#include "DatabaseScript.h"
#include "DbError.h"
#include "SqlParams.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace norvel::db;

TEST(PositionalSqlTest, NamedParametersBecomeMarkersOutsideQuotesAndComments)
{
    const PositionalSql p = toPositional(QStringLiteral(
        "select ':nao', \"A:B\" from T -- :comentario\n"
        "where D between :Inicial and :Final /* :outro */ and X=:Inicial;"));
    EXPECT_EQ(p.names, (QStringList{"Inicial", "Final", "Inicial"}));
    EXPECT_EQ(p.text, QStringLiteral("select ':nao', \"A:B\" from T -- :comentario\n"
                                     "where D between ? and ? /* :outro */ and X=?"));
}

TEST(CreationScriptTest, StatementsFollowTheTerminatorInForce)
{
    const QStringList statements = scriptStatements(QStringLiteral(
        "/* cabeçalho; com ponto e vírgula */\n"
        "SET SQL DIALECT 3;\n"
        "CREATE TABLE T (A VARCHAR(5) DEFAULT ';');\n"
        "SET TERM ^ ;\n"
        "CREATE PROCEDURE P AS BEGIN -- fim; não\n  EXIT; END^\n"
        "SET TERM ; ^\n"
        "COMMIT;\n"
        "INSERT INTO T VALUES ('x''y;');\n"));
    EXPECT_EQ(statements, (QStringList{"CREATE TABLE T (A VARCHAR(5) DEFAULT ';')",
                                       "CREATE PROCEDURE P AS BEGIN \n  EXIT; END",
                                       "INSERT INTO T VALUES ('x''y;')"}));
}

TEST(CreationScriptTest, ShippedScriptMakesEveryObject)
{
    const QStringList statements = scriptStatements(QString::fromUtf8(creationScript()));
    const auto count = [&](const char* prefix) {
        return std::count_if(statements.begin(), statements.end(),
                             [&](const QString& s) { return s.startsWith(QLatin1String(prefix)); });
    };
    EXPECT_EQ(count("CREATE TABLE"), 6);
    EXPECT_EQ(count("CREATE PROCEDURE"), 19);
    EXPECT_EQ(count("CREATE SEQUENCE"), 6);
    EXPECT_THROW(scriptStatements(QStringLiteral("CREATE TABLE T (A INTEGER)")), DbError);
}
