#include "ArquivoIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace {

QStringList linhasDoArquivo(const QString &caminho)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(arquivo.readAll()).split(QLatin1Char('\n'));
}

bool ehComentario(const QString &linha)
{
    return linha.startsWith(QLatin1Char(';')) || linha.startsWith(QLatin1Char('#'));
}

// The section named by a header line "[name]", or a null string.
QString secaoDaLinha(const QString &linha)
{
    if (linha.startsWith(QLatin1Char('[')) && linha.endsWith(QLatin1Char(']')))
        return linha.mid(1, linha.size() - 2).trimmed();
    return {};
}

struct Par {
    QString chave;
    QString valor;
};

// Splits "key = value"; false for lines that are no assignment.
bool parDaLinha(const QString &linha, Par &par)
{
    const qsizetype igual = linha.indexOf(QLatin1Char('='));
    if (igual <= 0 || ehComentario(linha))
        return false;
    par.chave = linha.left(igual).trimmed();
    par.valor = linha.mid(igual + 1).trimmed();
    if (par.valor.size() >= 2 && par.valor.startsWith(QLatin1Char('"'))
        && par.valor.endsWith(QLatin1Char('"')))
        par.valor = par.valor.mid(1, par.valor.size() - 2);
    return !par.chave.isEmpty();
}

bool mesmoNome(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Calls visita(index, pair) for each assignment inside secao.
template <typename Visita>
void percorreSecao(const QStringList &linhas, const QString &secao, Visita visita)
{
    bool dentro = false;
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        const QString linha = linhas.at(i).trimmed();
        const QString nome = secaoDaLinha(linha);
        if (!nome.isNull()) {
            dentro = mesmoNome(nome, secao);
            continue;
        }
        Par par;
        if (dentro && parDaLinha(linha, par))
            visita(i, par);
    }
}

} // namespace

QString ArquivoIni::le(const QString &secao, const QString &chave, const QString &padrao) const
{
    QString valor;
    bool achou = false;
    percorreSecao(linhasDoArquivo(caminho_), secao, [&](qsizetype, const Par &par) {
        if (!achou && mesmoNome(par.chave, chave)) {
            valor = par.valor;
            achou = true;
        }
    });
    return achou ? valor : padrao;
}

QStringList ArquivoIni::chaves(const QString &secao) const
{
    QStringList nomes;
    percorreSecao(linhasDoArquivo(caminho_), secao, [&](qsizetype, const Par &par) {
        nomes.append(par.chave);
    });
    return nomes;
}

void ArquivoIni::grava(const QString &secao, const Valores &valores) const
{
    QStringList linhas = linhasDoArquivo(caminho_);
    if (!linhas.isEmpty() && linhas.last().isEmpty())
        linhas.removeLast();

    for (const auto &[chave, valor] : valores) {
        const QString nova = chave + QLatin1Char('=') + valor;
        qsizetype existente = -1;
        percorreSecao(linhas, secao, [&](qsizetype i, const Par &par) {
            if (existente < 0 && mesmoNome(par.chave, chave))
                existente = i;
        });
        if (existente >= 0) {
            linhas[existente] = nova;
            continue;
        }
        // After the last assignment of the section, or in a new section.
        qsizetype cabecalho = -1;
        qsizetype depois = -1;
        for (qsizetype i = 0; i < linhas.size(); ++i) {
            const QString linha = linhas.at(i).trimmed();
            const QString nome = secaoDaLinha(linha);
            if (!nome.isNull()) {
                if (cabecalho >= 0)
                    break;
                if (mesmoNome(nome, secao))
                    cabecalho = depois = i;
            } else if (cabecalho >= 0 && !linha.isEmpty()) {
                depois = i;
            }
        }
        if (cabecalho < 0) {
            if (!linhas.isEmpty())
                linhas.append(QString());
            linhas.append(QLatin1Char('[') + secao + QLatin1Char(']'));
            linhas.append(nova);
        } else {
            linhas.insert(depois + 1, nova);
        }
    }

    const auto falha = [this](const QString &motivo) {
        throw std::runtime_error(
            QStringLiteral("Não foi possível gravar o arquivo de configuração \"%1\": %2")
                .arg(QDir::toNativeSeparators(caminho_), motivo)
                .toStdString());
    };
    if (!QDir().mkpath(QFileInfo(caminho_).absolutePath()))
        falha(QStringLiteral("a pasta não pôde ser criada"));
    QSaveFile arquivo(caminho_);
    if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Text))
        falha(arquivo.errorString());
    arquivo.write(linhas.join(QLatin1Char('\n')).toUtf8());
    arquivo.write("\n");
    if (!arquivo.commit())
        falha(arquivo.errorString());
}
