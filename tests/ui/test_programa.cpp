// The program as the system runs it: a copy of its folder (program, printer
// library, embedded engine settings, base.fdb) started as a process of its own.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// True once the process holds the file open.
bool mantemAberto(qint64 pid, const QString &arquivo)
{
    const QDir descritores(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : descritores.entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == arquivo)
            return true;
    return false;
}

// True once the process holds SIGTERM back: from then on the signal waits
// for the program's own listener instead of killing it outright.
bool seguraTermino(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &linha : status.readAll().split('\n'))
        if (linha.startsWith("SigBlk:"))
            return linha.mid(7).trimmed().toULongLong(nullptr, 16) & (1ull << (SIGTERM - 1));
    return false;
}

} // namespace

class TstPrograma : public QObject {
    Q_OBJECT

private slots:
    void sinalDeTerminoEncerraSemPerguntar();
    void sinalDeTerminoEncerraComCaixaDeInicioAberta_data();
    void sinalDeTerminoEncerraComCaixaDeInicioAberta();
};

void TstPrograma::sinalDeTerminoEncerraSemPerguntar()
{
    QTemporaryDir pasta;
    const QDir origem = QFileInfo(QStringLiteral(PROGRAMA)).dir();
    QVERIFY(QDir(pasta.path()).mkpath(QStringLiteral("firebird/intl")));
    for (const char *arquivo : {"NorvelCheque", "liblumora.so", "base.fdb", "firebird/firebird.conf",
                                "firebird/plugins.conf", "firebird/libnorvel_guarda.so", "firebird/intl/libfbintl.so"})
        QVERIFY2(QFile::copy(origem.filePath(QLatin1String(arquivo)), pasta.filePath(QLatin1String(arquivo))),
                 arquivo);

    QProcess programa;
    programa.setWorkingDirectory(pasta.path());
    programa.start(pasta.filePath(QStringLiteral("NorvelCheque")));
    QVERIFY(programa.waitForStarted());
    // Once the database is open the engine is loaded, and it would take the
    // signal and go on, or hang at detach after it.
    const QString base = QFileInfo(pasta.filePath(QStringLiteral("base.fdb"))).canonicalFilePath();
    QTRY_VERIFY_WITH_TIMEOUT(mantemAberto(programa.processId(), base), 30000);
    ::kill(static_cast<pid_t>(programa.processId()), SIGTERM);
    QVERIFY2(programa.waitForFinished(30000), "the program did not end on SIGTERM");
    QCOMPARE(programa.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programa.exitCode(), 0);
}

void TstPrograma::sinalDeTerminoEncerraComCaixaDeInicioAberta_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("porta");
    QTest::newRow("base ausente") << QStringLiteral("ausente") << QString();
    QTest::newRow("base vazia") << QStringLiteral("vazia") << QString();
    QTest::newRow("base truncada") << QStringLiteral("truncada") << QString();
    QTest::newRow("base de lixo") << QStringLiteral("lixo") << QString();
    QTest::newRow("porta de 5000 digitos") << QStringLiteral("boa") << QStringLiteral("COM") + QString(5000, '7');
}

// A start-up message waits for OK in a loop of its own; a session that ends
// meanwhile must still end the program.
void TstPrograma::sinalDeTerminoEncerraComCaixaDeInicioAberta()
{
    QFETCH(QString, base);
    QFETCH(QString, porta);
    QTemporaryDir pasta;
    const QDir origem = QFileInfo(QStringLiteral(PROGRAMA)).dir();
    QVERIFY(QDir(pasta.path()).mkpath(QStringLiteral("firebird/intl")));
    QVERIFY(QDir(pasta.path()).mkpath(QStringLiteral("config/norvelcheque")));
    for (const char *arquivo : {"NorvelCheque", "liblumora.so", "firebird/firebird.conf", "firebird/plugins.conf",
                                "firebird/libnorvel_guarda.so", "firebird/intl/libfbintl.so"})
        QVERIFY2(QFile::copy(origem.filePath(QLatin1String(arquivo)), pasta.filePath(QLatin1String(arquivo))),
                 arquivo);
    QFile boa(origem.filePath(QStringLiteral("base.fdb")));
    QVERIFY(boa.open(QIODevice::ReadOnly));
    QByteArray conteudo;
    if (base == QLatin1String("boa"))
        conteudo = boa.readAll();
    else if (base == QLatin1String("truncada"))
        conteudo = boa.read(4096);
    else if (base == QLatin1String("lixo"))
        for (int i = 0; i < 65536; ++i)
            conteudo += static_cast<char>((i * 131 + i / 7) & 0xFF);
    if (base != QLatin1String("ausente")) {
        QFile arquivo(pasta.filePath(QStringLiteral("base.fdb")));
        QVERIFY(arquivo.open(QIODevice::WriteOnly));
        QCOMPARE(arquivo.write(conteudo), conteudo.size());
    }
    if (!porta.isEmpty()) {
        QFile ini(pasta.filePath(QStringLiteral("config/norvelcheque/norvelcheque.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Sistema]\nPortaCOM=" + porta.toLatin1() + "\n");
    }

    QProcess programa;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), pasta.filePath(QStringLiteral("config")));
    programa.setProcessEnvironment(ambiente);
    programa.setWorkingDirectory(pasta.path());
    programa.start(pasta.filePath(QStringLiteral("NorvelCheque")));
    QVERIFY(programa.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(seguraTermino(programa.processId()), 30000);
    ::kill(static_cast<pid_t>(programa.processId()), SIGTERM);
    const bool terminou = programa.waitForFinished(20000);
    if (!terminou) {
        programa.kill();
        programa.waitForFinished();
    }
    QVERIFY2(terminou, "the program did not end on SIGTERM");
    QCOMPARE(programa.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programa.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TstPrograma)
#include "test_programa.moc"
