// The register's safe copies: taken while another program writes, read back
// before the oldest goes, and restored by the build tool only from a whole
// copy of the register into a new file.
#include "CopiaSeguranca.h"
#include "DatabaseScript.h"
#include "ExecutableDirectory.h"
#include "FbClient.h"
#include "LocalBase.h"
#include "ServidorFirebird.h"
#include "TestDatabase.h"
#include "uDMNorvelCheque.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

using norvel::db::CopiaDoDia;

namespace {

QStringList conteudo(const QString& pasta)
{
    return QDir(pasta).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString copiaDeHoje()
{
    return QStringLiteral("norvelcheque-%1.fbk").arg(QDate::currentDate().toString(Qt::ISODate));
}

// norvel_criabase --restaura copia destino: its exit code and what it said.
std::pair<int, QString> restaura(const QString& copia, const QString& destino)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(norvel::db::executableDirectory() + "norvel_criabase", {"--restaura", copia, destino});
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

int cheques(TdmNorvelCheque& dm)
{
    dm.ListaCheques.reopen();
    dm.ListaCheques.fetchAll();
    return dm.ListaCheques.rowCount();
}

// The cheques of the register restored into the new file directory/base.fdb.
int chequesRestaurados(const QString& copia, const QTemporaryDir& pasta)
{
    const auto [rc, disse] = restaura(copia, pasta.filePath("base.fdb"));
    EXPECT_EQ(rc, 0) << disse.toStdString();
    TdmNorvelCheque::setDatabaseDirectoryForTests(pasta.path());
    TdmNorvelCheque restaurada;
    restaurada.DataModuleCreate();
    TdmNorvelCheque::setDatabaseDirectoryForTests({});
    return cheques(restaurada);
}

class CopiaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dm_ = std::make_unique<TdmNorvelCheque>();
        dm_->DataModuleCreate();
        const WriteResult r = dm_->insereBanco({0, "001", "Banco do Brasil", "BB", QString(36, '0')}, QString());
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }

    CopiaDoDia copia() { return norvel::db::fazCopiaDoDia(base_.path(), dm_->ibBaseDados.params, copias_.path()); }

    norvel::db::TestDatabase base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    QTemporaryDir copias_;
};

} // namespace

// Every row committed before the copy started is in the copy; rows of the
// writer committed during it may or may not be, but never in part.
TEST_F(CopiaTest, CopyTakenWhileAnotherProgramWritesRestoresEveryCommittedRow)
{
    QProcess escritor; // on this process's FIREBIRD and FIREBIRD_LOCK
    escritor.start(norvel::db::executableDirectory() + "lock_probe", {base_.path(), "3000"});
    ASSERT_TRUE(escritor.waitForStarted());
    while (cheques(*dm_) < 200 && !escritor.waitForFinished(20)) {
    }
    const int antes = cheques(*dm_);
    const CopiaDoDia feita = copia();
    const bool escrevia = escritor.state() != QProcess::NotRunning;
    ASSERT_EQ(feita.resultado, CopiaDoDia::Resultado::Feita) << feita.mensagem.toStdString();
    ASSERT_TRUE(escritor.waitForFinished(120000));
    ASSERT_EQ(escritor.exitCode(), 0) << escritor.readAll().toStdString();
    const int depois = cheques(*dm_);

    QTemporaryDir destino;
    const int copiados = chequesRestaurados(feita.arquivo, destino);
    EXPECT_GE(copiados, antes);
    EXPECT_LE(copiados, depois);
    std::printf("committed before the copy %d, in the copy %d, at the end %d; writer still writing after the copy: %s\n",
                antes, copiados, depois, escrevia ? "yes" : "no");
}

// The oldest copy goes only once the new one has been read back whole; a copy
// that fails leaves the folder as it was, with nothing half made in it.
TEST_F(CopiaTest, FourteenCopiesKeptAndTheOldestDroppedOnlyAfterTheNewOneIsVerified)
{
    QStringList antigas;
    for (int dia = 1; dia <= norvel::db::CopiasGuardadas; ++dia)
        antigas << QStringLiteral("norvelcheque-2020-01-%1.fbk").arg(dia, 2, 10, QLatin1Char('0'));
    for (const QString& nome : antigas + QStringList{"anotacoes.txt"}) {
        QFile arquivo(copias_.filePath(nome));
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    }
    const QStringList antes = conteudo(copias_.path());

    // A validation that finds errors in what the copy restores to.
    QTemporaryDir ferramentas;
    QFile gfix(ferramentas.filePath("gfix"));
    ASSERT_TRUE(gfix.open(QIODevice::WriteOnly));
    gfix.write("#!/bin/sh\necho 'Summary of validation errors'\necho 'Number of record level errors\t: 1'\nexit 0\n");
    gfix.close();
    gfix.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(ferramentas.path()) + ":" + path);
    const CopiaDoDia falha = copia();
    qputenv("PATH", path);
    EXPECT_EQ(falha.resultado, CopiaDoDia::Resultado::Falhou);
    EXPECT_TRUE(falha.mensagem.startsWith("A cópia de segurança de hoje do banco de dados não foi feita: ")
                && falha.mensagem.contains("verificação") && falha.mensagem.contains("record level errors"))
        << falha.mensagem.toStdString();
    EXPECT_EQ(conteudo(copias_.path()), antes);

    const CopiaDoDia feita = copia();
    ASSERT_EQ(feita.resultado, CopiaDoDia::Resultado::Feita) << feita.mensagem.toStdString();
    EXPECT_EQ(feita.arquivo, copias_.filePath(copiaDeHoje()));
    QStringList esperadas = antigas.mid(1) << "anotacoes.txt" << copiaDeHoje();
    esperadas.sort();
    EXPECT_EQ(conteudo(copias_.path()), esperadas);
    EXPECT_EQ(QFile::permissions(feita.arquivo) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    EXPECT_EQ(copia().resultado, CopiaDoDia::Resultado::JaExistia);
    EXPECT_EQ(conteudo(copias_.path()), esperadas);
}

// Anything but a whole copy of the register is refused with a message, and
// the destination is neither made nor touched.
TEST_F(CopiaTest, RestoreRefusesAnythingButAWholeCopyOfTheRegisterIntoANewFile)
{
    const CopiaDoDia feita = copia();
    ASSERT_EQ(feita.resultado, CopiaDoDia::Resultado::Feita) << feita.mensagem.toStdString();
    QFile inteira(feita.arquivo);
    ASSERT_TRUE(inteira.open(QIODevice::ReadOnly));
    const QByteArray bytes = inteira.readAll();

    // A sound Firebird copy of a database that is not the register.
    QTemporaryDir outra;
    norvel::db::Attachment::create(outra.filePath("outra.fdb"), norvel::db::baseConnectionParams(), 3, "ISO8859_1",
                                   8192)
        .detach();
    QProcess gbak;
    gbak.setProcessChannelMode(QProcess::MergedChannels);
    gbak.start("gbak", {"-b", "-user", "sysdba", outra.filePath("outra.fdb"), outra.filePath("outra.fbk")});
    ASSERT_TRUE(gbak.waitForFinished(60000));
    ASSERT_EQ(gbak.exitCode(), 0) << gbak.readAll().toStdString();

    const struct {
        const char* nome;
        QByteArray copia;   // empty: the foreign database's copy
        bool destinoExiste;
        const char* motivo;
    } casos[] = {
        {"truncated", bytes.left(bytes.size() / 2), false, "incompleto"},
        {"not a copy", QByteArray(65536, 'x'), false, "incompleto"},
        {"another database's copy", {}, false, "faltam as tabelas BANCOS, CENTROCUSTO, CHEQUEPREDATADO"},
        {"destination exists", bytes, true, "já existe"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        QTemporaryDir pasta;
        QString copia = outra.filePath("outra.fbk");
        if (!caso.copia.isEmpty()) {
            copia = pasta.filePath("copia.fbk");
            QFile arquivo(copia);
            ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
            arquivo.write(caso.copia);
        }
        const QString destino = pasta.filePath("base.fdb");
        if (caso.destinoExiste) {
            QFile arquivo(destino);
            ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
            arquivo.write("registro do dia");
        }
        const QStringList antes = conteudo(pasta.path());
        const auto [rc, disse] = restaura(copia, destino);
        EXPECT_EQ(rc, 1);
        EXPECT_TRUE(disse.startsWith("A cópia " + copia + " não foi restaurada: ") && disse.contains(caso.motivo))
            << disse.toStdString();
        EXPECT_EQ(conteudo(pasta.path()), antes);
        if (caso.destinoExiste) {
            QFile arquivo(destino);
            ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
            EXPECT_EQ(arquivo.readAll(), "registro do dia");
        }
    }
}

// A register on a server is copied onto this machine by the system's client
// (the program's own Firebird root reaches its embedded engine only), with
// the server's user and password, and restores as an embedded file.
TEST(CopiaServidorTest, RegisterOnAServerIsCopiedOntoThisMachine)
{
    ServidorFirebird servidor;
    const auto local = norvel::db::LocalBase::servidor(servidor.nome("norvel.fdb"), servidor.usuario(),
                                                       servidor.senha());
    QProcess criabase;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("ISC_USER", servidor.usuario());
    ambiente.insert("ISC_PASSWORD", servidor.senha());
    criabase.setProcessEnvironment(ambiente);
    criabase.setProcessChannelMode(QProcess::MergedChannels);
    criabase.start(norvel::db::executableDirectory() + "norvel_criabase", {local.nome()});
    ASSERT_TRUE(criabase.waitForFinished(120000));
    ASSERT_EQ(criabase.exitCode(), 0) << criabase.readAll().toStdString();

    TdmNorvelCheque dm;
    dm.defineLocal(local);
    dm.DataModuleCreate();
    const WriteResult banco = dm.insereBanco({0, "001", "Banco do Brasil", "BB", QString(36, '0')}, QString());
    ASSERT_TRUE(banco.ok) << banco.message.toStdString();
    RegistroCheque cheque;
    cheque.idBanco = banco.chave;
    cheque.dataEmissao = QDate(2026, 1, 2);
    cheque.valor = Money::fromCentavos(100);
    for (const char* favorecido : {"Ana", "Bruno", "Carla"}) {
        cheque.favorecido = favorecido;
        const WriteResult r = dm.insereCheque(cheque, QString());
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }

    QTemporaryDir copias;
    const CopiaDoDia feita = norvel::db::fazCopiaDoDia(dm.ibBaseDados.databaseName, dm.ibBaseDados.params, copias.path());
    ASSERT_EQ(feita.resultado, CopiaDoDia::Resultado::Feita) << feita.mensagem.toStdString();
    QTemporaryDir destino;
    EXPECT_EQ(chequesRestaurados(feita.arquivo, destino), 3);
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
