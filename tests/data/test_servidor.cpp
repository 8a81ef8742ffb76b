// The register on a Firebird server: two workstations on it at once, and the
// server stopped or the line to it cut in the middle of the day. The whole
// test runs in a network of its own (RedeIsolada.h).
#include "DatabaseScript.h"
#include "ExecutableDirectory.h"
#include "RedeIsolada.h"
#include "ServidorFirebird.h"
#include "uDMNorvelCheque.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace {

using norvel::db::LocalBase;

const QString Prefixo = QStringLiteral("Erro ao tentar salvar dados: ");

// A clerk's workstation: estacao_probe in a home of its own whose settings
// name the server database (see estacao_probe.cpp for its commands).
class Estacao {
public:
    Estacao(const ServidorFirebird& servidor, const QString& nome, QFile::Permissions permissoes)
    {
        const QString ini = home_.filePath(".config/norvelcheque/norvelcheque.ini");
        QDir().mkpath(QFileInfo(ini).absolutePath());
        QFile arquivo(ini);
        EXPECT_TRUE(arquivo.open(QIODevice::WriteOnly));
        arquivo.write(QStringLiteral("[Sistema]\nPortaCOM=COM1\nBaseDados=%1\nUsuario=%2\nSenha=%3\n")
                          .arg(nome, servidor.usuario(), servidor.senha())
                          .toUtf8());
        arquivo.close();
        arquivo.setPermissions(permissoes);
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert("HOME", home_.path());
        ambiente.insert("XDG_CONFIG_HOME", home_.filePath(".config"));
        processo_.setProcessEnvironment(ambiente);
        processo_.start(norvel::db::executableDirectory() + "estacao_probe", {});
    }

    void envia(const QString& comando) { processo_.write((comando + '\n').toUtf8()); }

    // The lines answering the oldest command not yet answered, "fim" left out.
    QStringList resposta()
    {
        QStringList linhas;
        while (true) {
            while (!processo_.canReadLine()) {
                if (!processo_.waitForReadyRead(60000)) {
                    ADD_FAILURE() << "no answer: " << processo_.readAllStandardError().toStdString();
                    return linhas;
                }
            }
            const QString linha = QString::fromUtf8(processo_.readLine()).trimmed();
            if (linha == "fim")
                return linhas;
            linhas << linha;
        }
    }

    QStringList pede(const QString& comando)
    {
        envia(comando);
        return resposta();
    }

    QProcess& processo() { return processo_; }

    ~Estacao()
    {
        processo_.closeWriteChannel();
        processo_.waitForFinished(30000);
    }

private:
    QTemporaryDir home_;
    QProcess processo_;
};

QSet<int> chaves(const QStringList& linhas, const QString& tipo)
{
    QSet<int> resultado;
    for (const QString& linha : linhas)
        if (linha.section(' ', 0, 0) == tipo)
            resultado.insert(linha.section(' ', 1, 1).toInt());
    return resultado;
}

RegistroCheque cheque(int numero)
{
    RegistroCheque c;
    c.idBanco = 1;
    c.agencia = "1";
    c.conta = "2";
    c.numCheque = QString::number(numero);
    c.dataEmissao = QDate(2026, 3, 2);
    c.favorecido = "Caixa";
    c.cidade = "Rio";
    c.valor = Money::fromCentavos(500);
    return c;
}

class ServidorTest : public ::testing::Test {
protected:
    // A register made on the server and this process on it.
    void SetUp() override
    {
        local_ = LocalBase::servidor(servidor_.nome("norvel.fdb"), servidor_.usuario(), servidor_.senha());
        criaNoServidor();
        dm_ = std::make_unique<TdmNorvelCheque>();
        dm_->defineLocal(local_);
        dm_->DataModuleCreate();
        const WriteResult r = dm_->insereBanco({0, "001", "Banco do Brasil", "BB", QString(36, '0')}, Prefixo);
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }

    // By the build's own tool, as a technician does.
    void criaNoServidor()
    {
        QProcess criabase;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert("ISC_USER", servidor_.usuario());
        ambiente.insert("ISC_PASSWORD", servidor_.senha());
        criabase.setProcessEnvironment(ambiente);
        criabase.setProcessChannelMode(QProcess::MergedChannels);
        criabase.start(norvel::db::executableDirectory() + "norvel_criabase", {local_.nome()});
        ASSERT_TRUE(criabase.waitForFinished(120000));
        ASSERT_EQ(criabase.exitCode(), 0) << criabase.readAll().toStdString();
    }

    ServidorFirebird servidor_;
    LocalBase local_;
    std::unique_ptr<TdmNorvelCheque> dm_;
};

} // namespace

// Two workstations write at once; after "Atualizar Consulta" each sees every
// row of the other, no key was handed out twice, and a series one of them
// printed shows printed on the other. A settings file that others can read
// keeps its password unused.
TEST_F(ServidorTest, TwoWorkstationsShareOneRegister)
{
    constexpr int porEstacao = 25;
    const auto soDono = QFile::ReadOwner | QFile::WriteOwner;
    Estacao a(servidor_, local_.nome(), soDono);
    Estacao b(servidor_, local_.nome(), soDono);
    a.envia(QStringLiteral("escreve %1 Ana").arg(porEstacao));
    b.envia(QStringLiteral("escreve %1 Bruno").arg(porEstacao));
    const QStringList deA = a.resposta();
    const QStringList deB = b.resposta();
    for (const char* tipo : {"cheque", "serie"}) {
        ASSERT_EQ(chaves(deA, tipo).size(), porEstacao) << deA.join('\n').toStdString();
        ASSERT_EQ(chaves(deB, tipo).size(), porEstacao) << deB.join('\n').toStdString();
        EXPECT_FALSE(chaves(deA, tipo).intersects(chaves(deB, tipo)));
    }

    const int serieDeB = *chaves(deB, "serie").constBegin();
    EXPECT_TRUE(a.pede(QStringLiteral("imprime %1").arg(serieDeB)).isEmpty());
    for (Estacao* estacao : {&a, &b}) {
        const QStringList visto = estacao->pede(QStringLiteral("consulta"));
        SCOPED_TRACE(visto.join('\n').toStdString());
        EXPECT_EQ(chaves(visto, "cheque").size(), 2 * porEstacao);
        EXPECT_EQ(chaves(visto, "serie").size(), 2 * porEstacao);
        EXPECT_EQ(visto.filter(QRegularExpression("^cheque \\d+ Ana$")).size(), porEstacao);
        EXPECT_EQ(visto.filter(QRegularExpression("^cheque \\d+ Bruno$")).size(), porEstacao);
        EXPECT_EQ(visto.filter(QRegularExpression("^serie \\d+ \\w+ 1$")), QStringList{QStringLiteral("serie %1 Bruno 1").arg(serieDeB)});
    }

    Estacao aberta(servidor_, local_.nome(), soDono | QFile::ReadOther | QFile::ReadGroup);
    ASSERT_TRUE(aberta.processo().waitForFinished(30000));
    EXPECT_EQ(aberta.processo().exitCode(), 1);
    EXPECT_TRUE(aberta.processo().readAllStandardError().contains("chmod 600"));
}

// The server stops while the program works: each action meanwhile fails
// with a message naming the server and stores nothing; once the server is
// back the next action attaches anew and works, and the lists read the
// register again.
TEST_F(ServidorTest, ServerStoppedMidDayTheNextActionAfterItsReturnWorks)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(dm_->insereCheque(cheque(i), Prefixo).ok);
    dm_->consultaChequesPorData(QDate(2026, 3, 2));

    servidor_.stop();
    const WriteResult perdida = dm_->insereCheque(cheque(3), Prefixo);
    EXPECT_FALSE(perdida.ok);
    EXPECT_TRUE(perdida.message.startsWith(Prefixo + "A conexão com o servidor de banco de dados \"" + servidor_.host()))
        << perdida.message.toStdString();
    const WriteResult fora = dm_->insereCheque(cheque(4), Prefixo);
    EXPECT_FALSE(fora.ok);
    EXPECT_TRUE(fora.message.contains("no servidor \"" + servidor_.host() + "\"")) << fora.message.toStdString();
    EXPECT_THROW(dm_->consultaChequesPorPeriodo(QDate(2026, 1, 1), QDate(2026, 12, 31)), norvel::db::DbError);
    EXPECT_TRUE(dm_->ListaBancos.isStale());

    servidor_.start();
    const WriteResult volta = dm_->insereCheque(cheque(5), Prefixo);
    ASSERT_TRUE(volta.ok) << volta.message.toStdString();
    EXPECT_FALSE(dm_->ListaBancos.isStale());
    EXPECT_EQ(dm_->ListaBancos.rowCount(), 1);
    EXPECT_FALSE(dm_->ConsultaChequesData.isStale());
    // "Atualizar Consulta"
    norvel::db::DbQuery& dia = dm_->consultaChequesPorData(QDate(2026, 3, 2));
    QStringList numeros;
    for (int r = 0; r < dia.rowCount(); ++r)
        numeros << dia.value(r, "NUMCHEQUE").toString();
    EXPECT_EQ(numeros, (QStringList{"0", "1", "2", "5"}));
}

// Why the test process has no network of its own; empty when it has.
std::string semRedePropria;

// The line to the server cut without a word (a pulled cable, a switch gone
// dark): the store meanwhile fails instead of hanging, with a message naming
// the server and nothing stored; the next action while the line is down fails
// as well, and once it is back the next action works.
TEST_F(ServidorTest, LineCutSilentlyMidDayFailsTheActionAndTheNextWorksWhenItIsBack)
{
    if (!semRedePropria.empty())
        GTEST_SKIP() << semRedePropria;
    ASSERT_TRUE(dm_->insereCheque(cheque(0), Prefixo).ok);

    RedeIsolada::corta();
    const WriteResult perdida = dm_->insereCheque(cheque(1), Prefixo);
    EXPECT_FALSE(perdida.ok);
    EXPECT_TRUE(perdida.message.startsWith(Prefixo + "A conexão com o servidor de banco de dados \"" + servidor_.host()))
        << perdida.message.toStdString();
    EXPECT_THROW(dm_->consultaChequesPorData(QDate(2026, 3, 2)), norvel::db::DbError);

    RedeIsolada::restaura();
    const WriteResult volta = dm_->insereCheque(cheque(2), Prefixo);
    ASSERT_TRUE(volta.ok) << volta.message.toStdString();
    norvel::db::DbQuery& dia = dm_->consultaChequesPorData(QDate(2026, 3, 2));
    QStringList numeros;
    for (int r = 0; r < dia.rowCount(); ++r)
        numeros << dia.value(r, "NUMCHEQUE").toString();
    EXPECT_EQ(numeros, (QStringList{"0", "2"}));
}

int main(int argc, char* argv[])
{
    // A sandbox that refuses namespaces (a container's default profile)
    // still runs the other cases, on the machine's own loopback.
    try {
        RedeIsolada::entra();
    } catch (const std::exception& e) {
        semRedePropria = std::string("no network of its own, the line cannot be cut: ") + e.what();
        std::fprintf(stderr, "%s\n", semRedePropria.c_str());
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
