#include "ArquivoIni.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

class TestArquivoIni : public QObject {
    Q_OBJECT

private slots:
    void init();

    void readsLikeTheEarlierSystem();
    void missingFileGivesDefaults();
    void writingKeepsEveryOtherLine();
    void writingKeepsAFileWithAPasswordPrivate();
    void writingMakesFolderFileAndSection();
    void unwritableFileThrows();

private:
    void grava(const QByteArray &conteudo);
    QByteArray conteudo() const;

    std::unique_ptr<QTemporaryDir> pasta_;
    QString caminho_;
};

void TestArquivoIni::init()
{
    pasta_ = std::make_unique<QTemporaryDir>();
    caminho_ = pasta_->filePath(QStringLiteral("norvelcheque.ini"));
}

void TestArquivoIni::grava(const QByteArray &conteudo)
{
    QFile arquivo(caminho_);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(conteudo);
}

QByteArray TestArquivoIni::conteudo() const
{
    QFile arquivo(caminho_);
    return arquivo.open(QIODevice::ReadOnly) ? arquivo.readAll() : QByteArray();
}

void TestArquivoIni::readsLikeTheEarlierSystem()
{
    grava("; comment=x\r\n[Outra]\r\nCidade=Errada\r\n  [ sistema ]  \r\n"
          "  cidade =  \"Rio de Janeiro, RJ\"  \r\nCIDADE=Segunda\r\n# PortaCOM=COM9\r\n"
          "PortaCOM=COM3\r\nVazia=\r\nsem igual\r\n");
    const ArquivoIni ini(caminho_);
    QCOMPARE(ini.le("Sistema", "Cidade"), QStringLiteral("Rio de Janeiro, RJ"));
    QCOMPARE(ini.le("SISTEMA", "portacom"), QStringLiteral("COM3"));
    QCOMPARE(ini.le("Sistema", "Vazia", "padrão"), QString());
    QCOMPARE(ini.le("Sistema", "Ausente", "padrão"), QStringLiteral("padrão"));
    QCOMPARE(ini.chaves("Sistema"), (QStringList{"cidade", "CIDADE", "PortaCOM", "Vazia"}));
}

void TestArquivoIni::missingFileGivesDefaults()
{
    const ArquivoIni ini(caminho_);
    QCOMPARE(ini.le("Sistema", "PortaCOM", "COM1"), QStringLiteral("COM1"));
    QVERIFY(ini.chaves("Sistema").isEmpty());
}

void TestArquivoIni::writingKeepsEveryOtherLine()
{
    grava("; mantido\n[Sistema]\nportacom=COM3\n; nota\n\n[Outra]\nX=1\n");
    ArquivoIni(caminho_).grava("Sistema", {{"PortaCOM", "COM7"}, {"Cidade", "Juíz de Fora"}});
    QCOMPARE(QString::fromUtf8(conteudo()),
             QStringLiteral("; mantido\n[Sistema]\nPortaCOM=COM7\n; nota\nCidade=Juíz de Fora\n\n[Outra]\nX=1\n"));
}

// The register's location and password share the file with the settings
// window's keys; a write by that window keeps them, and the file stays
// readable by its owner alone, as the password requires.
void TestArquivoIni::writingKeepsAFileWithAPasswordPrivate()
{
    grava("[Sistema]\nBaseDados=servidor:/dados/norvel.fdb\nUsuario=caixa\nSenha=segredo\n");
    QVERIFY(QFile::setPermissions(caminho_, QFile::ReadOwner | QFile::WriteOwner));
    ArquivoIni(caminho_).grava("Sistema", {{"PortaCOM", "COM2"}, {"Cidade", "Recife"}});
    QCOMPARE(conteudo(), QByteArray("[Sistema]\nBaseDados=servidor:/dados/norvel.fdb\nUsuario=caixa\nSenha=segredo\n"
                                    "PortaCOM=COM2\nCidade=Recife\n"));
    QCOMPARE(QFile::permissions(caminho_) & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
}

void TestArquivoIni::writingMakesFolderFileAndSection()
{
    caminho_ = pasta_->filePath(QStringLiteral("a/b/norvelcheque.ini"));
    const ArquivoIni ini(caminho_);
    ini.grava("Sistema", {{"PortaCOM", "COM2"}});
    QCOMPARE(conteudo(), QByteArray("[Sistema]\nPortaCOM=COM2\n"));
    ini.grava("Outra", {{"Y", "2"}});
    QCOMPARE(conteudo(), QByteArray("[Sistema]\nPortaCOM=COM2\n\n[Outra]\nY=2\n"));
}

void TestArquivoIni::unwritableFileThrows()
{
    grava("x");
    caminho_ += QStringLiteral("/dentro.ini");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ArquivoIni(caminho_).grava("Sistema", {{"A", "1"}}));
}

QTEST_GUILESS_MAIN(TestArquivoIni)
#include "test_arquivo_ini.moc"
