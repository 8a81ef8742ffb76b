#pragma once

#include <QString>
#include <QStringList>

// The serial ports the settings window offers, each under the "COMn" name by
// which the printer library opens it: every port its port map names, and
// every serial device present on the machine that some COMn reaches (a
// mapped device under its key, an unmapped /dev/ttyS<k> as COM<k+1>).
// Ordered by port number.
class PortList {
public:
    // Where to look; the defaults are the machine's own.
    struct Origem {
        QString mapa = arquivoMapa();
        QString dispositivos = QStringLiteral("/dev");
        QString classeTty = QStringLiteral("/sys/class/tty");
    };

    static QStringList portas();
    static QStringList portas(const Origem &origem);

    // The port map file the printer library reads: $LUMORA_PORTAS when set,
    // else lumora/portas.ini in the user's settings folder when it exists,
    // else /etc/lumora/portas.ini.
    static QString arquivoMapa();
};
