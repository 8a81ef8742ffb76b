#include "ServidorFirebird.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

[[noreturn]] void falha(const QString& motivo)
{
    throw std::runtime_error(("Servidor Firebird de teste: " + motivo).toStdString());
}

sockaddr_in enderecoLocal(quint16 porta)
{
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_port = htons(porta);
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return endereco;
}

// A free port, as the system hands them out.
quint16 portaLivre()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco = enderecoLocal(0);
    socklen_t tamanho = sizeof endereco;
    const bool ok = s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco) == 0
                    && ::getsockname(s, reinterpret_cast<sockaddr*>(&endereco), &tamanho) == 0;
    if (s >= 0)
        ::close(s);
    if (!ok)
        falha(QStringLiteral("nenhuma porta livre"));
    return ntohs(endereco.sin_port);
}

bool atende(quint16 porta)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in endereco = enderecoLocal(porta);
    const bool ok = s >= 0 && ::connect(s, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco) == 0;
    if (s >= 0)
        ::close(s);
    return ok;
}

// The system's file, followed through its links, as a file of our own.
void copia(const QString& origem, const QString& destino)
{
    QFile::remove(destino);
    if (!QFile::copy(origem, destino))
        falha(QStringLiteral("não copiou %1").arg(origem));
    QFile(destino).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

ServidorFirebird::ServidorFirebird() : pasta_(QDir::tempPath() + QStringLiteral("/norvel-servidor-XXXXXX"))
{
    if (!pasta_.isValid())
        falha(pasta_.errorString());
    const QString servidor = QStringLiteral(NORVEL_FIREBIRD_SERVER);
    if (!QFile::exists(servidor))
        falha(QStringLiteral("%1 não existe; execute tools/install-deps.sh").arg(servidor));
    const QString sistema = QStringLiteral(NORVEL_FIREBIRD_SYSTEM_ROOT);
    const QDir pasta(pasta_.path());
    for (const char* sub : {"raiz/intl", "trava", "tmp", "dados"})
        pasta.mkpath(QLatin1String(sub));
    for (const char* arquivo : {"firebird.conf", "plugins.conf", "firebird.msg", "intl/libfbintl.so", "intl/fbintl.conf"})
        copia(sistema + QLatin1Char('/') + QLatin1String(arquivo),
              pasta.filePath(QStringLiteral("raiz/") + QLatin1String(arquivo)));

    porta_ = portaLivre();
    QFile conf(pasta.filePath(QStringLiteral("raiz/firebird.conf")));
    if (!conf.open(QIODevice::ReadWrite | QIODevice::Text))
        falha(conf.errorString());
    // Each of these set once, here.
    QString texto = QString::fromUtf8(conf.readAll())
                        .remove(QRegularExpression(QStringLiteral(
                            "^\\s*(RemoteServicePort|RemoteBindAddress|SecurityDatabase)\\s*=.*$"),
                                                   QRegularExpression::MultilineOption));
    texto += QStringLiteral("\nRemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\nSecurityDatabase = %2\n")
                 .arg(porta_)
                 .arg(pasta.filePath(QStringLiteral("security3.fdb")));
    conf.resize(0);
    conf.write(texto.toUtf8());
    conf.close();

    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char* nome : {"ISC_USER", "ISC_PASSWORD", "FIREBIRD_MSG"})
        ambiente.remove(QLatin1String(nome));
    ambiente.insert(QStringLiteral("FIREBIRD"), pasta.filePath(QStringLiteral("raiz")));
    ambiente.insert(QStringLiteral("FIREBIRD_LOCK"), pasta.filePath(QStringLiteral("trava")));
    ambiente.insert(QStringLiteral("FIREBIRD_TMP"), pasta.filePath(QStringLiteral("tmp")));

    // The security database, by the engine inside isql-fb (no server yet).
    QProcess isql;
    isql.setProcessEnvironment(ambiente);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    const QString isqlFb = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isqlFb.isEmpty())
        falha(QStringLiteral("isql-fb não encontrado"));
    isql.start(isqlFb, {QStringLiteral("-q"), QStringLiteral("-user"), usuario()});
    isql.write(QStringLiteral("create database '%1';\ncreate user %2 password '%3' using plugin Srp;\ncommit;\n")
                   .arg(pasta.filePath(QStringLiteral("security3.fdb")), usuario(), senha())
                   .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0 || !QFile::exists(pasta.filePath("security3.fdb")))
        falha(QStringLiteral("base de segurança: ") + QString::fromUtf8(isql.readAll()));

    processo_.setProgram(servidor);
    processo_.setProcessEnvironment(ambiente);
    processo_.setWorkingDirectory(pasta.path());
    processo_.setProcessChannelMode(QProcess::MergedChannels);
    // Gone with the test, however the test ends.
    processo_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    start();
}

ServidorFirebird::~ServidorFirebird()
{
    stop();
}

void ServidorFirebird::start()
{
    processo_.start();
    if (!processo_.waitForStarted(30000))
        falha(processo_.errorString());
    for (int tentativa = 0; !atende(porta_); ++tentativa) {
        if (processo_.state() != QProcess::Running || tentativa == 300)
            falha(QStringLiteral("não atende na porta %1: %2").arg(porta_).arg(QString::fromUtf8(processo_.readAll())));
        QThread::msleep(50);
    }
}

void ServidorFirebird::stop()
{
    if (processo_.state() == QProcess::NotRunning)
        return;
    processo_.kill();
    processo_.waitForFinished(30000);
}

QString ServidorFirebird::host() const
{
    return QStringLiteral("127.0.0.1/%1").arg(porta_);
}

QString ServidorFirebird::nome(const QString& arquivo) const
{
    return host() + QLatin1Char(':') + QDir(pasta_.path()).filePath(QStringLiteral("dados/") + arquivo);
}
