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

#include <atomic>
#include <memory>
#include <thread>

#include <unistd.h>

namespace {

// A Firebird tool on the same file while a program writes to it, started
// with the given FIREBIRD and FIREBIRD_LOCK (empty: not set).
QProcess* startTool(QObject* owner, const QString& tool, const QStringList& args, const QString& root,
                    const QString& lock)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("FIREBIRD");
    env.remove("FIREBIRD_LOCK");
    if (!root.isEmpty())
        env.insert("FIREBIRD", root);
    if (!lock.isEmpty())
        env.insert("FIREBIRD_LOCK", lock);
    auto* p = new QProcess(owner);
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(tool, args);
    return p;
}

// A program folder of its own: the probe, its Firebird root and base.fdb.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString bin = norvel::db::executableDirectory();
        const QString dir = base_.directory();
        ASSERT_TRUE(QFile::copy(bin + "data_probe", dir + "data_probe"));
        ASSERT_TRUE(QDir().mkpath(dir + "firebird/intl"));
        for (const char* file : {"firebird/firebird.conf", "firebird/plugins.conf", "firebird/libnorvel_guarda.so",
                                 "firebird/intl/libfbintl.so"})
            ASSERT_TRUE(QFile::copy(bin + file, dir + file)) << file;

        dm_ = std::make_unique<TdmNorvelCheque>();
        dm_->DataModuleCreate();
        const WriteResult r = dm_->insereBanco({0, "001", "Banco do Brasil", "BB", QString(36, '0')}, QString());
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }

    QProcess* startProbe(const QStringList& args)
    {
        auto* p = new QProcess(&owner_);
        p->setWorkingDirectory(QDir::rootPath());
        p->start(base_.directory() + "data_probe", args);
        return p;
    }

    // A client that is not the program, on this folder's root: lock_probe
    // on the given lock directory inserting rows cheques.
    QProcess* startClient(const QString& lock, int rows, const QStringList& options = {})
    {
        return startTool(&owner_, norvel::db::executableDirectory() + "lock_probe",
                         QStringList{base_.path(), QString::number(rows)} + options, base_.directory() + "firebird",
                         lock);
    }

    static void expectFinished(QProcess* p)
    {
        ASSERT_TRUE(p->waitForFinished(60000)) << p->errorString().toStdString();
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    // Validated as a whole by the engine once every program has let go of
    // the file (validation takes it alone), from a process on the lock.
    void expectSoundFile()
    {
        dm_.reset();
        QProcess* check = startTool(&owner_, "/usr/bin/gfix", {"-v", "-full", "-n", "-user", "sysdba", "-password",
                                                               "quilltorn", base_.path()},
                                    base_.directory() + "firebird", programLock());
        ASSERT_TRUE(check->waitForFinished(60000));
        const QByteArray found = check->readAll();
        EXPECT_EQ(check->exitCode(), 0) << found.toStdString();
        EXPECT_TRUE(found.trimmed().isEmpty()) << found.toStdString();
    }

    static QString programLock() { return QString::fromLocal8Bit(qgetenv("FIREBIRD_LOCK")); }

    int cheques()
    {
        dm_->ListaCheques.reopen();
        dm_->ListaCheques.fetchAll();
        return dm_->ListaCheques.rowCount();
    }

    norvel::db::TestDatabase base_;
    // This process as a third program on the file.
    std::unique_ptr<TdmNorvelCheque> dm_;
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
    dm_->ListaCheques.reopen();
    dm_->ListaCheques.fetchAll();
    ASSERT_EQ(dm_->ListaCheques.rowCount(), 2 * perProgram);
    QSet<int> keys;
    QSet<QString> writers;
    for (int r = 0; r < dm_->ListaCheques.rowCount(); ++r) {
        keys.insert(dm_->ListaCheques.value(r, "IDCHEQUE").toInt());
        writers.insert(dm_->ListaCheques.value(r, "FAVORECIDO").toString());
    }
    EXPECT_EQ(keys.size(), 2 * perProgram);
    EXPECT_EQ(writers.size(), 2);
}

// Two writers on one file with different lock directories each take the
// file as their own and damage it: a tool that does not share the program's
// lock directory is refused before it reads or writes anything, one that
// shares it works beside the program, and the file stays sound.
TEST_F(ProgramFolderTest, ToolsOnAnotherLockDirectoryAreRefusedWhileProgramsWrite)
{
    if (!QFile::exists("/usr/bin/isql-fb") || !QFile::exists("/usr/bin/gfix"))
        GTEST_SKIP() << "Firebird's tools are not installed";
    const QString root = base_.directory() + "firebird";
    const QString lock = QString::fromLocal8Bit(qgetenv("FIREBIRD_LOCK"));
    QTemporaryDir otherLock;
    constexpr int perProgram = 100;
    QProcess* writer = startProbe({"write", QString::number(perProgram)});

    const QStringList login = {"-user", "sysdba", "-password", "quilltorn", "-q", base_.path()};
    const QByteArray insert =
        "EXECUTE PROCEDURE INSERIR_CHEQUE '1', 1, NULL, '9', '2', '2026-01-02', NULL, 'Ferramenta', 'Rio', "
        "'5,00', 0, 0, 0, NULL, '', 0;\nCOMMIT;\n";
    struct Case {
        const char* name;
        QString root;
        QString lock;
        bool admitted;
    };
    const Case cases[] = {
        {"this root, no lock directory", root, QString(), false},
        {"this root, another lock directory", root, otherLock.path(), false},
        {"this root, the program's lock directory", root, lock, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess* tool = startTool(&owner_, "/usr/bin/isql-fb", login, c.root, c.lock);
        tool->write(insert);
        tool->closeWriteChannel();
        ASSERT_TRUE(tool->waitForFinished(60000));
        const QString said = QString::fromUtf8(tool->readAll());
        if (c.admitted) {
            EXPECT_TRUE(said.contains("IDCHEQUE") && !said.contains("failed")) << said.toStdString();
        } else {
            EXPECT_TRUE(said.contains("/tmp/norvelcheque-lock") && said.contains("execute-o com FIREBIRD_LOCK"))
                << said.toStdString();
        }
    }
    // The system's configuration takes the file for itself: refused while
    // the program has it open.
    QProcess* system = startTool(&owner_, "/usr/bin/isql-fb", login, QString(), QString());
    system->write(insert);
    system->closeWriteChannel();
    ASSERT_TRUE(system->waitForFinished(60000));
    EXPECT_TRUE(QString::fromUtf8(system->readAll()).contains("lock")) << "system configuration admitted";

    expectFinished(writer);
    dm_->ListaCheques.reopen();
    dm_->ListaCheques.fetchAll();
    QSet<QString> writers;
    for (int r = 0; r < dm_->ListaCheques.rowCount(); ++r)
        writers.insert(dm_->ListaCheques.value(r, "FAVORECIDO").toString());
    EXPECT_EQ(dm_->ListaCheques.rowCount(), perProgram + 1);
    EXPECT_TRUE(writers.contains("Ferramenta"));

    expectSoundFile();
}

// Whatever a client names (the engine's own provider, a lock directory
// changed after a refusal), its engine works on the program's lock table or
// it is refused before it opens the file: rows committed by every side are
// all there and the file is sound.
TEST_F(ProgramFolderTest, ClientsOnAnotherLockDirectoryAreRefusedWhateverTheyName)
{
    QTemporaryDir other;
    constexpr int perWriter = 200;
    constexpr int perClient = 100;
    QProcess* writer = startProbe({"write", QString::number(perWriter)});
    const struct {
        const char* name;
        QString lock;
        QStringList options;
        bool admitted;
    } cases[] = {
        {"the engine named, another directory", other.path(), {"--config", "Providers = Engine12"}, false},
        {"the engine named, the program's directory", programLock(), {"--config", "Providers = Engine12"}, true},
        {"the program's directory set after a refusal", other.path(), {"--then-lock", programLock()}, false},
    };
    QList<QProcess*> clients;
    for (const auto& c : cases)
        clients << startClient(c.lock, perClient, c.options);
    int admitted = 0;
    for (qsizetype i = 0; i < clients.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_TRUE(clients[i]->waitForFinished(120000));
        const QString said = QString::fromUtf8(clients[i]->readAll());
        EXPECT_EQ(clients[i]->exitCode(), cases[i].admitted ? 0 : 3) << said.toStdString();
        if (!cases[i].admitted) {
            EXPECT_TRUE(said.contains("execute-o com FIREBIRD_LOCK=" + programLock())) << said.toStdString();
        }
        admitted += clients[i]->exitCode() == 0;
    }
    expectFinished(writer);
    EXPECT_EQ(cheques(), perWriter + admitted * perClient);
    EXPECT_TRUE(QDir(other.path()).entryList({"fb_lock_*"}).isEmpty());
    expectSoundFile();
}

// FIREBIRD_LOCK a symbolic link turned between the program's directory and
// another while clients attach: each client's engine keeps the directory
// that was checked, so no lock table of the file is made elsewhere.
TEST_F(ProgramFolderTest, LockDirectoryLinkTurnedWhileClientsAttachNeverSplitsTheLockTable)
{
    QTemporaryDir other;
    QTemporaryDir links;
    const QByteArray link = QFile::encodeName(links.filePath("trava"));
    const QByteArray next = QFile::encodeName(links.filePath("proxima"));
    const QByteArray targets[] = {QFile::encodeName(programLock()), QFile::encodeName(other.path())};
    ASSERT_EQ(::symlink(targets[0].constData(), link.constData()), 0);
    // Turns the link until the end of the scope, however the test leaves it.
    struct Turner {
        std::atomic<bool> on{true};
        std::thread thread;
        ~Turner()
        {
            on = false;
            thread.join();
        }
    } turner;
    turner.thread = std::thread([&] {
        for (unsigned n = 1; turner.on; ++n) {
            ::unlink(next.constData());
            if (::symlink(targets[n % 2].constData(), next.constData()) == 0)
                ::rename(next.constData(), link.constData());
        }
    });

    constexpr int perWriter = 200;
    constexpr int perClient = 20;
    constexpr int clientCount = 24;
    QProcess* writer = startProbe({"write", QString::number(perWriter)});
    int admitted = 0;
    for (int wave = 0; wave < clientCount / 4; ++wave) {
        QList<QProcess*> clients;
        for (int i = 0; i < 4; ++i)
            clients << startClient(QFile::decodeName(link), perClient);
        for (QProcess* client : clients) {
            ASSERT_TRUE(client->waitForFinished(120000));
            const QString said = QString::fromUtf8(client->readAll());
            EXPECT_TRUE(client->exitCode() == 0 || (client->exitCode() == 3 && said.contains("FIREBIRD_LOCK")))
                << said.toStdString();
            admitted += client->exitCode() == 0;
        }
    }
    expectFinished(writer);
    EXPECT_EQ(cheques(), perWriter + admitted * perClient);
    EXPECT_TRUE(QDir(other.path()).entryList({"fb_lock_*"}).isEmpty());
    expectSoundFile();
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
