// virtual-printer: a cheque printer on a network serial port (RFC 2217) or a
// pseudo-terminal, for running and testing the program without the device.

#include "ControlCommands.h"
#include "ControlServer.h"
#include "LayoutStore.h"
#include "PageRenderer.h"
#include "PortMapFile.h"
#include "PrintArchive.h"
#include "PrinterLog.h"
#include "PrinterState.h"
#include "PtyPort.h"
#include "QuitOnSignal.h"
#include "Rfc2217Server.h"
#include "VirtualPrinter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

constexpr quint16 kDefaultPort = 20217;
constexpr int kDefaultBusyMs = 1500;

const char* kDescription = R"(A virtual cheque printer on the wire.

It serves RFC 2217 (Telnet COM Port Control) on 127.0.0.1 and prints its
address first, alone on a line: rfc2217://127.0.0.1:<port>. Optionally it
also offers a pseudo-terminal (bytes only, no modem lines).

Modem lines: DSR on while the printer is on; CTS on while it is on, has
paper and is not busy. After each cheque it is busy for --busy-ms.

Wire protocol (bytes as Windows-1252; 0xA6 prints as the ordinal sign):
  ESC L nnn <36 digits> 0x00   store the layout of bank nnn (kept in the
                               state directory, survives a restart)
  ESC B digits                 select the bank (ends at the next non-digit)
  ESC F text $                 payee
  ESC C text $                 city
  ESC D DDMMYY                 date
  ESC V digits $               print the cheque (amount in centavos)
  text 0x0C                    print the text as a document and eject
A bank without a programmed layout is refused: logged, no page.
One document holds at most 64 KiB of text and 300 printed lines; the rest
is dropped and logged. Pages are drawn and saved apart from the line, in
order; while 64 pages wait to be saved, a further page is refused (logged,
no page).

Every page is saved in the output folder as cheque-NNNN.txt / .png or
document-NNNN.txt / .png; the log (one line per frame) goes to the log file
and to standard output.

Control commands, one per line, on --control (Unix socket),
--control-port (TCP on 127.0.0.1) or --stdin; each gets one reply line,
"ok <state>" or "error <reason>":
  power on|off      printer on or off (DSR; off clears the cheque fields)
  paper on|off      paper in or out (CTS)
  busy <ms>         busy from now for ms (CTS low); 0 ends it
  busy-time <ms>    busy time after each cheque
  state             e.g. "ok power=on paper=on busy=no busy-ms=1500 dsr=on cts=on"
  help, quit

Port map: --write-port-map <file> [COMn] writes COMn=rfc2217://127.0.0.1:<port>
into section [Portas] of that file (COM1 when no port name is given).)";

QString defaultStateDir()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(base).filePath(QStringLiteral("norvel-virtual-printer"));
}

int fail(const QString& message)
{
    std::fprintf(stderr, "virtual-printer: %s\n", qPrintable(message));
    return 1;
}

void printLine(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QuitOnSignal::holdSignals();
    // The printer draws its pages off screen and never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::signal(SIGPIPE, SIG_IGN);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("virtual-printer"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
        QStringLiteral("RFC 2217 port on 127.0.0.1; 0 picks a free one (default %1).").arg(kDefaultPort),
        QStringLiteral("port"), QString::number(kDefaultPort));
    const QCommandLineOption stateOption(QStringLiteral("state-dir"),
        QStringLiteral("Folder of the stored layouts (default $XDG_STATE_HOME/norvel-virtual-printer)."),
        QStringLiteral("dir"));
    const QCommandLineOption outOption(QStringLiteral("out-dir"),
        QStringLiteral("Folder of the printed pages (default <state-dir>/output)."), QStringLiteral("dir"));
    const QCommandLineOption logOption(QStringLiteral("log"),
        QStringLiteral("Log file (default <out-dir>/virtual-printer.log)."), QStringLiteral("file"));
    const QCommandLineOption ptyOption(QStringLiteral("pty"),
        QStringLiteral("Also offer a pseudo-terminal; its path is printed as \"pty: <path>\"."));
    const QCommandLineOption ptyLinkOption(QStringLiteral("pty-link"),
        QStringLiteral("Offer a pseudo-terminal and make a symbolic link to it at this path."), QStringLiteral("path"));
    const QCommandLineOption controlOption(QStringLiteral("control"),
        QStringLiteral("Unix socket for control commands."), QStringLiteral("path"));
    const QCommandLineOption controlPortOption(QStringLiteral("control-port"),
        QStringLiteral("TCP port on 127.0.0.1 for control commands; 0 picks one, printed as \"control: tcp://...\"."),
        QStringLiteral("port"));
    const QCommandLineOption stdinOption(QStringLiteral("stdin"),
        QStringLiteral("Read control commands from standard input."));
    const QCommandLineOption powerOption(QStringLiteral("power"),
        QStringLiteral("Power at start, on or off (default on)."), QStringLiteral("on|off"), QStringLiteral("on"));
    const QCommandLineOption paperOption(QStringLiteral("paper"),
        QStringLiteral("Paper at start, on or off (default on)."), QStringLiteral("on|off"), QStringLiteral("on"));
    const QCommandLineOption busyOption(QStringLiteral("busy-ms"),
        QStringLiteral("Busy time after each cheque in milliseconds (default %1).").arg(kDefaultBusyMs),
        QStringLiteral("ms"), QString::number(kDefaultBusyMs));
    const QCommandLineOption portMapOption(QStringLiteral("write-port-map"),
        QStringLiteral("Write COMn=<address> into section [Portas] of this INI file (port name: the argument "
                       "after the options, default COM1)."),
        QStringLiteral("file"));
    parser.addOptions({portOption, stateOption, outOption, logOption, ptyOption, ptyLinkOption, controlOption,
                       controlPortOption, stdinOption, powerOption, paperOption, busyOption, portMapOption});
    parser.addPositionalArgument(QStringLiteral("COMn"), QStringLiteral("Port name for --write-port-map."), QStringLiteral("[COMn]"));
    parser.process(app);

    bool ok = false;
    const uint portValue = parser.value(portOption).toUInt(&ok);
    if (!ok || portValue > 65535)
        return fail(QStringLiteral("--port takes a port number from 0 to 65535"));
    const auto power = parseOnOff(parser.value(powerOption));
    const auto paper = parseOnOff(parser.value(paperOption));
    if (!power || !paper)
        return fail(QStringLiteral("--power and --paper take on or off"));
    const int busyMs = parser.value(busyOption).toInt(&ok);
    if (!ok || busyMs < 0)
        return fail(QStringLiteral("--busy-ms takes a number of milliseconds"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1 || (!positional.isEmpty() && !parser.isSet(portMapOption)))
        return fail(QStringLiteral("unexpected arguments: %1").arg(positional.join(QLatin1Char(' '))));
    const QString mapPortName = positional.isEmpty() ? QStringLiteral("COM1") : positional.first();
    if (parser.isSet(portMapOption) && !isPortName(mapPortName))
        return fail(QStringLiteral("\"%1\" is not a port name (COM1 to COM255)").arg(mapPortName));

    const QString stateDir = parser.isSet(stateOption) ? parser.value(stateOption) : defaultStateDir();
    const QString outDir = parser.isSet(outOption) ? parser.value(outOption) : QDir(stateDir).filePath(QStringLiteral("output"));
    const QString logPath = parser.isSet(logOption) ? parser.value(logOption) : QDir(outDir).filePath(QStringLiteral("virtual-printer.log"));

    QString error;
    if (!QDir().mkpath(stateDir))
        return fail(QStringLiteral("cannot create the state folder %1").arg(stateDir));
    LayoutStore layouts(QDir(stateDir).filePath(QStringLiteral("layouts.txt")));
    int skipped = 0;
    if (!layouts.load(&error, &skipped))
        return fail(QStringLiteral("cannot read %1: %2").arg(layouts.filePath(), error));
    PrintArchive archive(outDir);
    if (!archive.prepare(&error))
        return fail(error);
    PrinterLog log;
    if (!log.open(logPath, &error))
        return fail(QStringLiteral("cannot open the log %1: %2").arg(logPath, error));
    const PageRenderer renderer;

    PrinterState state(*power, *paper, busyMs);
    Rfc2217Server server(state.lines());
    if (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(portValue), &error))
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(portValue).arg(error));
    VirtualPrinter printer(state, layouts, archive, renderer, log);
    QObject::connect(&state, &PrinterState::linesChanged, &server, &Rfc2217Server::setLines);
    QObject::connect(&server, &Rfc2217Server::dataReceived, &printer, &VirtualPrinter::receive);
    QObject::connect(&server, &Rfc2217Server::note, &app, [&log](const QString& text) { log.write(text); });

    // The address comes first on standard output: scripts read that line.
    printLine(server.url());

    PtyPort pty;
    if (parser.isSet(ptyOption) || parser.isSet(ptyLinkOption)) {
        if (!pty.open(parser.value(ptyLinkOption), &error))
            return fail(QStringLiteral("cannot offer a pseudo-terminal: %1").arg(error));
        QObject::connect(&pty, &PtyPort::dataReceived, &printer, &VirtualPrinter::receive);
        printLine(QStringLiteral("pty: ") + pty.path());
    }

    ControlCommands commands(state, [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); });
    ControlServer control(commands);
    QObject::connect(&control, &ControlServer::note, &app, [&log](const QString& text) { log.write(text); });
    if (parser.isSet(controlOption)) {
        if (!control.listenLocal(parser.value(controlOption), &error))
            return fail(QStringLiteral("cannot open the control socket %1: %2").arg(parser.value(controlOption), error));
        printLine(QStringLiteral("control: ") + parser.value(controlOption));
    }
    if (parser.isSet(controlPortOption)) {
        const uint controlPort = parser.value(controlPortOption).toUInt(&ok);
        if (!ok || controlPort > 65535 || !control.listenTcp(static_cast<quint16>(controlPort), &error))
            return fail(QStringLiteral("cannot open the control port %1: %2").arg(parser.value(controlPortOption), error));
        printLine(QStringLiteral("control: tcp://127.0.0.1:%1").arg(control.tcpPort()));
    }
    if (parser.isSet(stdinOption))
        control.readStandardInput();

    if (parser.isSet(portMapOption)) {
        if (!writePortMapEntry(parser.value(portMapOption), mapPortName, server.url(), &error))
            return fail(QStringLiteral("cannot write the port map %1: %2").arg(parser.value(portMapOption), error));
        log.write(QStringLiteral("port map %1: %2=%3").arg(parser.value(portMapOption), mapPortName.toUpper(), server.url()));
    }

    QObject::connect(&state, &PrinterState::changed, &app, [&log](const QString& text) { log.write(QStringLiteral("state: ") + text); });
    QuitOnSignal quitOnSignal;
    QObject::connect(&quitOnSignal, &QuitOnSignal::signalled, &app, [&log](int number) {
        log.write(QStringLiteral("signal %1: stopping").arg(number));
        QCoreApplication::quit();
    });

    log.write(QStringLiteral("virtual printer ready at %1; %2 layouts in %3; pages in %4; %5")
                  .arg(server.url())
                  .arg(layouts.size())
                  .arg(layouts.filePath(), archive.folder(), state.describe()));
    if (skipped > 0)
        log.write(QStringLiteral("warning: %1 unreadable lines in %2 skipped").arg(skipped).arg(layouts.filePath()));
    if (!renderer.hasPrinterFont())
        log.write(QStringLiteral("warning: DejaVu Sans Mono not found (fonts-dejavu-core), pictures use another font"));

    const int result = QCoreApplication::exec();
    log.write(QStringLiteral("virtual printer stopped"));
    return result;
}
