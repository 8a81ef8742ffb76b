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

} // namespace

class TstPrograma : public QObject {
    Q_OBJECT

private slots:
    void sinalDeTerminoEncerraSemPerguntar();
};

void TstPrograma::sinalDeTerminoEncerraSemPerguntar()
{
    QTemporaryDir pasta;
    const QDir origem = QFileInfo(QStringLiteral(PROGRAMA)).dir();
    QVERIFY(QDir(pasta.path()).mkpath(QStringLiteral("firebird/intl")));
    for (const char *arquivo : {"NorvelCheque", "liblumora.so", "base.fdb", "firebird/firebird.conf",
                                "firebird/intl/libfbintl.so"})
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

QTEST_GUILESS_MAIN(TstPrograma)
#include "tst_programa.moc"
