#include "LocalBase.h"

#include "DbError.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace norvel::db {

bool LocalBase::ehNomeDeServidor(const QString& nome)
{
    const qsizetype doisPontos = nome.indexOf(QLatin1Char(':'));
    return doisPontos > 0 && !nome.startsWith(QLatin1Char('/')) && doisPontos + 1 < nome.size();
}

QString LocalBase::servidorDoNome(const QString& nome)
{
    return ehNomeDeServidor(nome) ? nome.left(nome.indexOf(QLatin1Char(':'))) : QString();
}

LocalBase LocalBase::servidor(const QString& nome, const QString& usuario, const QString& senha)
{
    if (!ehNomeDeServidor(nome))
        throw DbError(QStringLiteral("\"%1\" não é o nome de um banco de dados num servidor: escreva "
                                     "servidor:/caminho/norvel.fdb ou servidor/porta:/caminho/norvel.fdb")
                          .arg(nome));
    if (usuario.isEmpty() || senha.isEmpty())
        throw DbError(QStringLiteral("Faltam o usuário e a senha do servidor de banco de dados \"%1\"")
                          .arg(servidorDoNome(nome)));
    LocalBase local;
    local.nome_ = nome;
    local.usuario_ = usuario;
    local.senha_ = senha;
    return local;
}

LocalBase LocalBase::daConfiguracao(const QString& arquivo, const QString& baseDados, const QString& usuario,
                                    const QString& senha)
{
    if (baseDados.isEmpty())
        return {};
    const auto falta = [&](const QString& motivo) {
        return DbError(QStringLiteral("O banco de dados \"%1\" indicado em %2 não foi aberto: %3")
                           .arg(baseDados, arquivo, motivo));
    };
    if (!ehNomeDeServidor(baseDados))
        throw falta(QStringLiteral("\"BaseDados\" deve nomear um servidor (servidor:/caminho/norvel.fdb "
                                   "ou servidor/porta:/caminho/norvel.fdb)"));
    if (usuario.isEmpty() || senha.isEmpty())
        throw falta(QStringLiteral("faltam \"Usuario\" e \"Senha\" na seção [Sistema]"));
    // A password others can read is no longer this user's secret.
    struct stat estado {};
    if (::stat(QFile::encodeName(arquivo).constData(), &estado) != 0 || estado.st_uid != ::geteuid()
        || (estado.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        throw falta(QStringLiteral("o arquivo guarda a senha e outros usuários podem lê-lo; "
                                   "proteja-o com \"chmod 600 %1\"")
                        .arg(arquivo));
    return servidor(baseDados, usuario, senha);
}

QStringList LocalBase::parametros() const
{
    return {QStringLiteral("user_name=") + usuario_, QStringLiteral("password=") + senha_,
            QStringLiteral("lc_ctype=ISO8859_1")};
}

} // namespace norvel::db
