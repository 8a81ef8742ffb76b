// The data module as separate programs see it: the file beside the
// executable, and two programs writing to one file at once.
#include "ExecutableDirectory.h"
#include "TestDatabase.h"
#include "uDMNorvelCheque.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {

// A program folder of its own: the probe, its Firebird root and base.fdb.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString bin = norvel::db::executableDirectory();
        const QString dir = base_.directory();
        ASSERT_TRUE(QFile::copy(bin + "data_probe", dir + "data_probe"));
        ASSERT_TRUE(QDir().mkpath(dir + "firebird/intl"));
        for (const char* file : {"firebird/firebird.conf", "firebird/intl/libfbintl.so"})
            ASSERT_TRUE(QFile::copy(bin + file, dir + file)) << file;

        dm_.DataModuleCreate();
        const WriteResult r = dm_.gravar(dm_.spInsereBanco, {{"SIGLABANCO", "BB"}, {"NOMEBANCO", "Banco do Brasil"},
                                                             {"NUMBANCO", "001"}, {"POSICOESBANCO", QString(36, '0')}},
                                         QString(), {&dm_.ListaBancos});
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }

    QProcess* startProbe(const QStringList& args)
    {
        auto* p = new QProcess(&owner_);
        p->setWorkingDirectory(QDir::rootPath());
        p->start(base_.directory() + "data_probe", args);
        return p;
    }

    static void expectFinished(QProcess* p)
    {
        ASSERT_TRUE(p->waitForFinished(60000)) << p->errorString().toStdString();
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    norvel::db::TestDatabase base_;
    TdmNorvelCheque dm_;
    QObject owner_;
};

} // namespace

TEST_F(ProgramFolderTest, ProgramStartedElsewhereOpensTheFileBesideItsExecutable)
{
    QProcess* p = startProbe({"where"});
    expectFinished(p);
    EXPECT_EQ(QString::fromLocal8Bit(p->readAllStandardOutput()), base_.path() + "\n1\n");
}

TEST_F(ProgramFolderTest, TwoProgramsWriteToOneFileAtOnce)
{
    constexpr int perProgram = 150;
    QProcess* a = startProbe({"write", QString::number(perProgram)});
    QProcess* b = startProbe({"write", QString::number(perProgram)});
    expectFinished(a);
    expectFinished(b);

    // This process stayed attached all along and sees both programs' rows.
    dm_.ListaCheques.reopen();
    dm_.ListaCheques.fetchAll();
    ASSERT_EQ(dm_.ListaCheques.rowCount(), 2 * perProgram);
    QSet<int> keys;
    QSet<QString> writers;
    for (int r = 0; r < dm_.ListaCheques.rowCount(); ++r) {
        keys.insert(dm_.ListaCheques.value(r, "IDCHEQUE").toInt());
        writers.insert(dm_.ListaCheques.value(r, "FAVORECIDO").toString());
    }
    EXPECT_EQ(keys.size(), 2 * perProgram);
    EXPECT_EQ(writers.size(), 2);
}

TEST(BuildStepTest, ExistingDatabaseIsNeverReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("base.fdb");
    const QString tool = norvel::db::executableDirectory() + "norvel_criabase";
    ASSERT_EQ(QProcess::execute(tool, {path}), 0);
    ASSERT_TRUE(QFile::exists(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ASSERT_EQ(QProcess::execute(tool, {path}), 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll() == before);
}

TEST(BuildStepTest, OptionsAreNeverTakenForAFileName)
{
    QTemporaryDir dir;
    const QString tool = norvel::db::executableDirectory() + "norvel_criabase";
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(tool, {"--help"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("uso: "));
    for (const QStringList& args : {QStringList{"-x"}, QStringList{"--"}, QStringList{""}, QStringList{"a.fdb", "b.fdb"}}) {
        p.start(tool, args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().startsWith("uso: "));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
