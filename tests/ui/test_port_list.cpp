#include "PortList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPortList : public QObject {
    Q_OBJECT

private slots:
    void init();

    void listsEveryPortUnderTheNameTheLibraryOpensItBy();
    void withoutMapOnlyTheSerialPortsPresent();
    void nothingAtAll();
    void mapFileIsFoundWhereTheLibraryLooks();

private:
    void cria(const QString &relativo, const QByteArray &conteudo = {});

    std::unique_ptr<QTemporaryDir> raiz_;
    PortList::Origem origem_;
};

void TestPortList::init()
{
    raiz_ = std::make_unique<QTemporaryDir>();
    origem_.mapa = raiz_->filePath(QStringLiteral("portas.ini"));
    origem_.dispositivos = raiz_->filePath(QStringLiteral("dev"));
    origem_.classeTty = raiz_->filePath(QStringLiteral("sys"));
    QDir().mkpath(origem_.dispositivos);
    QDir().mkpath(origem_.classeTty);
}

void TestPortList::cria(const QString &relativo, const QByteArray &conteudo)
{
    const QString caminho = raiz_->filePath(relativo);
    QVERIFY(QDir().mkpath(QFileInfo(caminho).absolutePath()));
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(conteudo);
}

void TestPortList::listsEveryPortUnderTheNameTheLibraryOpensItBy()
{
    for (const char *no : {"ttyS0", "ttyS2", "ttyS3", "ttyS9", "ttyUSB0", "ttyACM0", "ttyACM1", "tty0"})
        cria(QStringLiteral("dev/") + QLatin1String(no));
    QVERIFY(QFile::link(raiz_->filePath("dev/ttyUSB0"), raiz_->filePath("dev/impressora")));
    cria("sys/ttyS0/type", "4\n");
    cria("sys/ttyS2/type", "0\n"); // a UART slot with nothing behind it
    const QString dev = origem_.dispositivos;
    cria("portas.ini", QStringLiteral("[Portas]\n"
                                      "COM2=rfc2217://192.168.0.9:4000\n"
                                      "com5 = %1/impressora\n"
                                      "COM2=/dev/ignorada\n"
                                      "COM7=\n"
                                      "COM06=/dev/ttyS5\n"
                                      "COM10=%1/ttyACM0\n"
                                      "COM300=/dev/ttyS1\n"
                                      "LPT1=/dev/lp0\n"
                                      "[Outra]\nCOM8=/dev/ttyS7\n")
                           .arg(dev)
                           .toUtf8());

    // COM1: ttyS0. COM2: the network port. ttyS2 has no hardware. COM4:
    // ttyS3, of a driver that reports no type. COM5: ttyUSB0 through its
    // link. "COM06" is no key the library looks up. ttyS9 is out of reach,
    // COM10 being mapped to ttyACM0; ttyACM1 has no COM name the library
    // would open it by.
    QCOMPARE(PortList::portas(origem_), (QStringList{"COM1", "COM2", "COM4", "COM5", "COM10"}));
}

void TestPortList::withoutMapOnlyTheSerialPortsPresent()
{
    for (const char *no : {"ttyS1", "ttyS0", "ttyS10", "ttyUSB0"})
        cria(QStringLiteral("dev/") + QLatin1String(no));
    QCOMPARE(PortList::portas(origem_), (QStringList{"COM1", "COM2", "COM11"}));
}

void TestPortList::nothingAtAll()
{
    origem_.dispositivos = raiz_->filePath(QStringLiteral("nenhum"));
    QVERIFY(PortList::portas(origem_).isEmpty());
}

void TestPortList::mapFileIsFoundWhereTheLibraryLooks()
{
    const QByteArray explicito = qgetenv("LUMORA_PORTAS");
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");

    qputenv("LUMORA_PORTAS", "/em/qualquer/lugar.ini");
    QCOMPARE(PortList::arquivoMapa(), QStringLiteral("/em/qualquer/lugar.ini"));

    qunsetenv("LUMORA_PORTAS");
    qputenv("XDG_CONFIG_HOME", raiz_->path().toUtf8());
    QCOMPARE(PortList::arquivoMapa(), QStringLiteral("/etc/lumora/portas.ini"));
    cria("lumora/portas.ini");
    QCOMPARE(PortList::arquivoMapa(), raiz_->filePath("lumora/portas.ini"));

    qputenv("LUMORA_PORTAS", explicito);
    qputenv("XDG_CONFIG_HOME", xdg);
}

QTEST_GUILESS_MAIN(TestPortList)
#include "test_port_list.moc"
