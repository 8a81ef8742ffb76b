#include "PortList.h"

#include "ArquivoIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QRegularExpression>

#include <set>

namespace {

constexpr int PrimeiraPorta = 1;
constexpr int UltimaPorta = 255;

// The number of a map key "COMn" in the library's range, or 0. The library
// looks a port up by "COM" and its number as printed, so "COM01" names no
// port.
int numeroDaChave(const QString &chave)
{
    static const QRegularExpression formato(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch achado = formato.match(chave);
    const int numero = achado.hasMatch() ? achado.captured(1).toInt() : 0;
    return numero >= PrimeiraPorta && numero <= UltimaPorta ? numero : 0;
}

// The file a path leads to through symbolic links (/dev/serial/by-id/...),
// or the path itself when it leads nowhere.
QString destino(const QString &caminho)
{
    const QString real = QFileInfo(caminho).canonicalFilePath();
    return real.isEmpty() ? caminho : real;
}

// The kernel keeps a node for every UART slot it reserves; a slot without
// hardware reports type 0 (unknown). Other serial drivers have no such
// attribute and always stand for a device.
bool haUart(const QString &classeTty, const QString &nome)
{
    QFile tipo(classeTty + QLatin1Char('/') + nome + QStringLiteral("/type"));
    if (!tipo.open(QIODevice::ReadOnly))
        return true;
    return tipo.readAll().trimmed() != "0";
}

} // namespace

QString PortList::arquivoMapa()
{
    const QString explicito = qEnvironmentVariable("LUMORA_PORTAS");
    if (!explicito.isEmpty())
        return explicito;
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = xdg.startsWith(QLatin1Char('/')) ? xdg
                                                          : QDir::homePath() + QStringLiteral("/.config");
    const QString doUsuario = base + QStringLiteral("/lumora/portas.ini");
    return QFileInfo::exists(doUsuario) ? doUsuario : QStringLiteral("/etc/lumora/portas.ini");
}

QStringList PortList::portas()
{
    return portas(Origem{});
}

QStringList PortList::portas(const Origem &origem)
{
    std::set<int> listadas;
    QSet<QString> destinosMapeados;

    const ArquivoIni mapa(origem.mapa);
    const QString secao = QStringLiteral("Portas");
    for (const QString &chave : mapa.chaves(secao)) {
        const int numero = numeroDaChave(chave);
        // The library takes the first line of a key, and an empty one maps
        // nothing.
        const QString alvo = numero ? mapa.le(secao, chave) : QString();
        if (alvo.isEmpty() || listadas.count(numero))
            continue;
        listadas.insert(numero);
        destinosMapeados.insert(destino(alvo));
    }

    const QStringList padroes = {QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"),
                                 QStringLiteral("ttyACM*")};
    static const QRegularExpression serialPadrao(QStringLiteral("^ttyS([0-9]+)$"));
    const QDir dispositivos(origem.dispositivos);
    for (const QString &nome : dispositivos.entryList(padroes, QDir::System | QDir::Files)) {
        const QString caminho = dispositivos.filePath(nome);
        if (destinosMapeados.contains(destino(caminho)) || !haUart(origem.classeTty, nome))
            continue;
        const QRegularExpressionMatch serial = serialPadrao.match(nome);
        const int numero = serial.hasMatch() ? serial.captured(1).toInt() + 1 : 0;
        if (numero >= PrimeiraPorta && numero <= UltimaPorta && !listadas.count(numero))
            listadas.insert(numero);
    }

    QStringList nomes;
    for (const int numero : listadas)
        nomes.append(QStringLiteral("COM%1").arg(numero));
    return nomes;
}
