// Opening base.fdb: what a user is told when it cannot be opened.
#include "TestDatabase.h"
#include "uDMNorvelCheque.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// The engine says why in English; the user first reads, in Portuguese, which
// file could not be opened.
TEST(ConnectionFailureTest, ReportNamesTheFileInPortugueseBeforeTheEnginesText)
{
    QByteArray valid;
    {
        norvel::db::TestDatabase base;
        QFile file(base.path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        valid = file.readAll();
    }
    QByteArray garbage;
    for (int i = 0; i < 65536; ++i)
        garbage += static_cast<char>((i * 131 + i / 7) & 0xFF);
    const struct {
        const char* name;
        bool present;
        QByteArray bytes;
    } cases[] = {
        {"missing", false, {}},
        {"empty", true, {}},
        {"truncated", true, valid.left(4096)},
        {"garbage", true, garbage},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("base.fdb"));
        if (c.present) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.bytes);
        }
        TdmNorvelCheque::setDatabaseDirectoryForTests(dir.path());
        TdmNorvelCheque dm;
        try {
            dm.DataModuleCreate();
            ADD_FAILURE() << c.name << ": opened";
        } catch (const norvel::db::DbError& e) {
            const QString prefix = QStringLiteral("Não foi possível conectar ao banco de dados \"%1\": ").arg(path);
            EXPECT_TRUE(e.message().startsWith(prefix)) << c.name << ": " << e.what();
            EXPECT_GT(e.message().size(), prefix.size() + 10) << c.name << ": the engine's text is kept";
        }
        EXPECT_FALSE(dm.ibBaseDados.connected()) << c.name;
        TdmNorvelCheque::setDatabaseDirectoryForTests({});
    }
}

// Only "host:path" and "host/port:path" go to the network; any absolute
// path, a colon in it or not, stays a file for the embedded engine.
TEST(LocalBaseTest, OnlyAHostBeforeTheColonNamesAServer)
{
    using norvel::db::LocalBase;
    const struct {
        const char* nome;
        const char* servidor;
    } cases[] = {
        {"servidor:/var/lib/firebird/3.0/data/norvel.fdb", "servidor"},
        {"10.0.0.5/3051:/dados/norvel.fdb", "10.0.0.5/3051"},
        {"/home/caixa/a:b/base.fdb", ""},
        {"/tmp/base.fdb", ""},
        {":/dados/norvel.fdb", ""},
        {"servidor:", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LocalBase::ehNomeDeServidor(c.nome), *c.servidor != '\0') << c.nome;
        EXPECT_EQ(LocalBase::servidorDoNome(c.nome), QString::fromLatin1(c.servidor)) << c.nome;
    }
    EXPECT_FALSE(LocalBase::daConfiguracao("/nenhum.ini", {}, "u", "s").noServidor());
    EXPECT_THROW(LocalBase::daConfiguracao("/nenhum.ini", "/tmp/base.fdb", "u", "s"), norvel::db::DbError);
    EXPECT_THROW(LocalBase::servidor("servidor:/d/n.fdb", "SYSDBA", {}), norvel::db::DbError);
}

} // namespace
