#include "CopiaSeguranca.h"

#include "DatabaseScript.h"
#include "DbError.h"
#include "ExecutableDirectory.h"
#include "FbClient.h"
#include "FbStatement.h"
#include "LocalBase.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <exception>

#include <unistd.h>

namespace norvel::db {

namespace {

// A tool that has not ended by then (a server that stopped answering) is
// stopped: the program is closing and must not wait on it for long.
constexpr int PrazoFerramenta = 3 * 60 * 1000;

const QRegularExpression& nomeDeCopia()
{
    static const QRegularExpression nome(QStringLiteral("^norvelcheque-\\d{4}-\\d{2}-\\d{2}\\.fbk$"));
    return nome;
}

QString parametro(const QStringList& params, const QString& nome)
{
    for (const QString& param : params) {
        const qsizetype igual = param.indexOf(QLatin1Char('='));
        if (param.left(igual).trimmed().compare(nome, Qt::CaseInsensitive) == 0)
            return param.mid(igual + 1);
    }
    return {};
}

// The user and password travel in the environment, which only the user can
// read, not on the command line, which everyone can.
QProcessEnvironment ambienteDasFerramentas(const QStringList& params, bool servidor)
{
    QProcessEnvironment ambiente;
    if (servidor) {
        // The system's client configuration, whose providers reach a server;
        // the program's own root leads to its embedded engine only.
        ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.remove(QStringLiteral("FIREBIRD"));
        ambiente.remove(QStringLiteral("FIREBIRD_LOCK"));
    } else {
        // The program's root and lock directory, which the first use of the
        // engine puts in this process's environment.
        Client::instance();
        ambiente = QProcessEnvironment::systemEnvironment();
    }
    ambiente.insert(QStringLiteral("ISC_USER"), parametro(params, QStringLiteral("user_name")));
    ambiente.insert(QStringLiteral("ISC_PASSWORD"), parametro(params, QStringLiteral("password")));
    return ambiente;
}

QProcessEnvironment ambienteEmbutido()
{
    return ambienteDasFerramentas(baseConnectionParams(), false);
}

struct Saida {
    bool ok;
    QString texto; // the tool's own words, its errors first
};

// Runs one of Firebird's tools to its end.
Saida executa(const QString& ferramenta, const QStringList& argumentos, const QProcessEnvironment& ambiente)
{
    const QString programa = QStandardPaths::findExecutable(ferramenta);
    if (programa.isEmpty())
        throw DbError(QStringLiteral("a ferramenta %1 do Firebird não está instalada (pacote firebird3.0-utils)")
                          .arg(ferramenta));
    QProcess processo;
    processo.setProcessEnvironment(ambiente);
    processo.setProcessChannelMode(QProcess::MergedChannels);
    // gbak asks on its input for the next volume of a copy that ends early.
    processo.setStandardInputFile(QProcess::nullDevice());
    processo.start(programa, argumentos);
    if (!processo.waitForFinished(PrazoFerramenta)) {
        const bool iniciou = processo.state() != QProcess::NotRunning;
        processo.kill();
        processo.waitForFinished();
        throw DbError(iniciou ? QStringLiteral("%1 não terminou em %2 minutos").arg(ferramenta).arg(PrazoFerramenta / 60000)
                              : QStringLiteral("%1 não pôde ser executado: %2").arg(ferramenta, processo.errorString()));
    }
    QStringList erros;
    QStringList linhas;
    for (const QString& linha : QString::fromLocal8Bit(processo.readAll()).split(QLatin1Char('\n'))) {
        const QString texto = linha.trimmed();
        const qsizetype erro = texto.indexOf(QLatin1String("ERROR:"));
        if (erro >= 0)
            erros << texto.mid(erro + 6).trimmed();
        else if (!texto.isEmpty())
            linhas << texto;
    }
    return {processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0,
            (erros.isEmpty() ? linhas : erros).join(QLatin1Char(' '))};
}

// Restores copia into the new file arquivo and validates it whole; a failure
// removes what the restore left and throws.
void restauraEVerifica(const QString& copia, const QString& arquivo)
{
    const QProcessEnvironment ambiente = ambienteEmbutido();
    const Saida leitura = executa(QStringLiteral("gbak"), {QStringLiteral("-c"), copia, arquivo}, ambiente);
    if (!leitura.ok) {
        QFile::remove(arquivo);
        throw DbError(QStringLiteral("o arquivo está incompleto ou não é uma cópia do banco de dados (%1)")
                          .arg(leitura.texto));
    }
    const Saida validacao =
        executa(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-n"), arquivo},
                ambiente);
    if (!validacao.ok || !validacao.texto.isEmpty()) {
        QFile::remove(arquivo);
        throw DbError(QStringLiteral("o banco de dados restaurado não passou na verificação (%1)").arg(validacao.texto));
    }
}

// Refuses a restored database that is not the program's register (a sound
// copy of another database), and makes the register durable as the creation
// script does: every commit on the disk.
void confereRegistro(const QString& arquivo)
{
    static const QRegularExpression criaTabela(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QSet<QString> ausentes;
    for (const QString& comando : scriptStatements(QString::fromUtf8(creationScript()))) {
        const auto tabela = criaTabela.match(comando);
        if (tabela.hasMatch())
            ausentes.insert(tabela.captured(1).toUpper());
    }
    Attachment base = Attachment::attach(arquivo, baseConnectionParams(), 3, ForcedWrites::On);
    {
        Transaction transacao = Transaction::start(base);
        Statement consulta(base, transacao,
                           QStringLiteral("select trim(rdb$relation_name) from rdb$relations "
                                          "where coalesce(rdb$system_flag, 0) = 0"));
        const auto cursor = consulta.openCursor(transacao, {});
        QVariantList linha;
        while (cursor->fetchNext(linha))
            ausentes.remove(linha.value(0).toString().toUpper());
    }
    base.detach();
    if (!ausentes.isEmpty()) {
        QStringList nomes(ausentes.begin(), ausentes.end());
        nomes.sort();
        throw DbError(QStringLiteral("não é uma cópia do banco de dados do Norvel Cheque (faltam as tabelas %1)")
                          .arg(nomes.join(QStringLiteral(", "))));
    }
}

// Gives the finished file its name, never over a file of that name, which
// may have been made meanwhile (link() refuses an existing name, where a
// rename would replace it).
bool nomeia(const QString& arquivo, const QString& nome)
{
    if (::link(QFile::encodeName(arquivo).constData(), QFile::encodeName(nome).constData()) != 0)
        return false;
    QFile::remove(arquivo);
    return true;
}

// Drops the copies past the newest CopiasGuardadas, by the dates in their names.
void descartaAntigas(const QString& pasta)
{
    QStringList copias = QDir(pasta).entryList(QDir::Files, QDir::Name).filter(nomeDeCopia());
    while (copias.size() > CopiasGuardadas)
        QFile::remove(pasta + QLatin1Char('/') + copias.takeFirst());
}

// The work folders a program stopped during its copy left behind.
void removeRestos(const QString& pasta)
{
    for (const QString& resto : QDir(pasta).entryList({QStringLiteral(".em-andamento-*")},
                                                      QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(pasta + QLatin1Char('/') + resto).removeRecursively();
}

CopiaDoDia copia(const QString& databaseName, const QStringList& params, const QString& pasta, const QString& arquivo)
{
    if (QFile::exists(arquivo))
        return {CopiaDoDia::Resultado::JaExistia, arquivo, {}};
    if (!QDir().mkpath(pasta))
        throw DbError(QStringLiteral("não foi possível criar a pasta %1").arg(pasta));
    // The copies hold the whole register: for the user's eyes only.
    QFile::setPermissions(pasta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QLockFile trava(pasta + QStringLiteral("/.copia.trava"));
    // Held for as long as the copy takes, which may be minutes: only a
    // holder that is no longer running leaves it stale.
    trava.setStaleLockTime(0);
    if (!trava.tryLock(0))
        return {CopiaDoDia::Resultado::EmAndamento, arquivo, {}};
    if (QFile::exists(arquivo))
        return {CopiaDoDia::Resultado::JaExistia, arquivo, {}};
    removeRestos(pasta);
    QTemporaryDir trabalho(pasta + QStringLiteral("/.em-andamento-XXXXXX"));
    if (!trabalho.isValid())
        throw DbError(QStringLiteral("não foi possível criar uma pasta de trabalho em %1: %2")
                          .arg(pasta, trabalho.errorString()));
    const QString nova = trabalho.filePath(QStringLiteral("copia.fbk"));
    const bool servidor = LocalBase::ehNomeDeServidor(databaseName);
    const Saida backup = executa(QStringLiteral("gbak"),
                                 {QStringLiteral("-b"), QStringLiteral("-g"),
                                  servidor ? databaseName : QFileInfo(databaseName).absoluteFilePath(), nova},
                                 ambienteDasFerramentas(params, servidor));
    if (!backup.ok)
        throw DbError(QStringLiteral("o Firebird não conseguiu copiar o banco de dados \"%1\" (%2)")
                          .arg(databaseName, backup.texto));
    restauraEVerifica(nova, trabalho.filePath(QStringLiteral("verificacao.fdb")));
    QFile::setPermissions(nova, QFile::ReadOwner | QFile::WriteOwner);
    if (!nomeia(nova, arquivo))
        throw DbError(QStringLiteral("não foi possível gravar %1").arg(arquivo));
    descartaAntigas(pasta);
    return {CopiaDoDia::Resultado::Feita, arquivo, {}};
}

} // namespace

QString pastaCopias()
{
    return QDir(pastaDadosUsuario()).filePath(QStringLiteral("copias"));
}

CopiaDoDia fazCopiaDoDia(const QString& databaseName, const QStringList& params, const QString& pasta)
{
    const QString arquivo = pasta + QStringLiteral("/norvelcheque-%1.fbk")
                                        .arg(QDate::currentDate().toString(Qt::ISODate));
    QString motivo;
    try {
        return copia(databaseName, params, pasta, arquivo);
    } catch (const DbError& e) {
        motivo = e.message();
    } catch (const std::exception& e) {
        motivo = QString::fromUtf8(e.what());
    }
    return {CopiaDoDia::Resultado::Falhou, {},
            QStringLiteral("A cópia de segurança de hoje do banco de dados não foi feita: %1.\n"
                           "As cópias anteriores continuam em %2.")
                .arg(motivo.trimmed(), QDir::toNativeSeparators(pasta))};
}

void restauraCopia(const QString& copia, const QString& destino)
{
    const QFileInfo alvo(destino);
    const auto recusa = [&](const QString& motivo) {
        return DbError(QStringLiteral("A cópia %1 não foi restaurada: %2.").arg(copia, motivo));
    };
    if (alvo.exists() || alvo.isSymLink())
        throw recusa(QStringLiteral("o arquivo %1 já existe, e a cópia só é restaurada num arquivo novo")
                         .arg(destino));
    if (!QFileInfo(copia).isFile())
        throw recusa(QStringLiteral("o arquivo não existe"));
    // Beside the destination, so that the finished file only changes its name.
    QTemporaryDir trabalho(alvo.absolutePath() + QStringLiteral("/.restaura-XXXXXX"));
    if (!trabalho.isValid())
        throw recusa(QStringLiteral("não foi possível escrever em %1 (%2)").arg(alvo.absolutePath(), trabalho.errorString()));
    const QString restaurado = trabalho.filePath(QStringLiteral("base.fdb"));
    try {
        restauraEVerifica(QFileInfo(copia).absoluteFilePath(), restaurado);
        confereRegistro(restaurado);
    } catch (const DbError& e) {
        throw recusa(e.message());
    }
    if (!nomeia(restaurado, alvo.absoluteFilePath()))
        throw recusa(QStringLiteral("não foi possível criar o arquivo %1").arg(destino));
}

} // namespace norvel::db
